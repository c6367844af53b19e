#pragma once
// Port: the message box.

#include <cstdint>
#include <string>

#include "platform/event_ids.h"

namespace orvane {

constexpr int kStyleCritical = 16;  // error icon, one OK button

class MessageDialog {
 public:
  virtual ~MessageDialog() = default;

  // Shows `text` (lines separated by CR LF) with `style` and `title`, and
  // returns when the user has closed it. Where no one can see a box (a
  // scheduled task run without a desktop), shows none: the text goes to the
  // system's log of events as event `eventId` (event_ids.h), an error for
  // kStyleCritical, and Show returns at once, as if closed.
  virtual void Show(std::uint32_t eventId, const std::string& text, int style,
                    const std::string& title) = 0;
};

}  // namespace orvane
