#ifndef ORVANE_RESOURCE_IDS_H_
#define ORVANE_RESOURCE_IDS_H_
// Identifiers of the resources in orvane.rc, shared with the code that
// loads them. Plain defines: the resource compiler reads this file too.

// The lowest icon identifier, so that Explorer shows this icon for the file.
#define IDI_ORVANE 1

#endif  // ORVANE_RESOURCE_IDS_H_
