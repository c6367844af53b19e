#pragma once
// The part of WQL that the stand-in answers: data queries on one class,
//
//   SELECT * | <property> [, <property>]... FROM <class> [WHERE <condition>]
//
// where a condition joins comparisons with AND, OR (AND binds tighter), NOT
// and parentheses. A comparison is "<property> <op> <literal>" or the other
// way round, with = and <> (or !=), or "<property> IS [NOT] NULL". Keywords,
// class and property names are case-insensitive, and so are comparisons of
// strings, as in WMI. Literals are unsigned decimal numbers or strings in
// single or double quotes, in which a backslash escapes a backslash or either
// quote; any other backslash makes the query malformed, as in WMI, where a
// path with single backslashes is not a valid literal. A null property
// satisfies no comparison but IS NULL.
//
// Portable: the unit tests' fake of the management service reads its
// queries with it too.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace wmistub {

struct Condition;

struct Query {
  // The selected properties as the class spells them; empty for "*".
  std::vector<std::wstring> properties;
  std::shared_ptr<const Condition> where;  // null: every instance
};

// The value of a property of one instance as text; nullopt when null.
using PropertyReader =
    std::function<std::optional<std::wstring>(const std::wstring& name)>;

// The service's answers to a query it cannot read (WBEM_E_INVALID_QUERY,
// WBEM_E_INVALID_CLASS), as HRESULTs.
constexpr std::int32_t kInvalidQuery = static_cast<std::int32_t>(0x80041017);
constexpr std::int32_t kInvalidClass = static_cast<std::int32_t>(0x80041010);

// Parses `text` as a query on class `className`, whose properties are
// `known`. Selecting __PATH or __RELPATH selects the key `key`. Answers 0,
// kInvalidClass for another class, kInvalidQuery for text out of the
// grammar or a property the class does not have.
std::int32_t ParseQuery(const std::wstring& text, const std::wstring& className,
                   const std::vector<std::wstring>& known,
                   const std::wstring& key, Query* query);

bool Matches(const Query& query, const PropertyReader& read);

// Names and strings compare without regard to letter case, as in WMI.
bool EqualNoCase(const std::wstring& a, const std::wstring& b);

}  // namespace wmistub
