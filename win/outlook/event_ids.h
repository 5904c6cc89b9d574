// Every event interface and event DISPID the add-in receives from Outlook and Office, in one
// table, so that a wrong one is mended in one place. From Outlook's and Office's type
// libraries; arguments in declaration order.
#pragma once

#include <oaidl.h>

namespace korvanel::win::events {

// {000630xx-0000-0000-C000-000000000046}: the form of Outlook's and Office's identifiers.
constexpr IID officeIid(unsigned long data1) {
  return {data1, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
}

// Application (Outlook 2003 and later raise these on ApplicationEvents_11).
inline constexpr IID kApplicationEvents11 = officeIid(0x0006302C);
inline constexpr DISPID kItemSend = 0xF002;         // (IDispatch* Item, VARIANT_BOOL* Cancel)
inline constexpr DISPID kNewMail = 0xF003;          // ()
inline constexpr DISPID kOptionsPagesAdd = 0xF005;  // (PropertyPages* Pages)
inline constexpr DISPID kQuit = 0xF007;             // ()
inline constexpr DISPID kNewMailEx = 0xFAB5;        // (BSTR EntryIDCollection)

// Inspectors.
inline constexpr IID kInspectorsEvents = officeIid(0x00063079);
inline constexpr DISPID kNewInspector = 0xF001;  // (_Inspector* Inspector)

// Inspector: InspectorEvents_10, or the older InspectorEvents with the same three.
inline constexpr IID kInspectorEvents10 = officeIid(0x0006302A);
inline constexpr IID kInspectorEvents = officeIid(0x0006307D);
inline constexpr DISPID kInspectorActivate = 0xF001;    // ()
inline constexpr DISPID kInspectorDeactivate = 0xF006;  // ()
inline constexpr DISPID kInspectorClose = 0xF008;       // ()

// A folder's Items.
inline constexpr IID kItemsEvents = officeIid(0x00063077);
inline constexpr DISPID kItemAdd = 0xF001;     // (IDispatch* Item)
inline constexpr DISPID kItemChange = 0xF002;  // (IDispatch* Item)

// Mail, meeting, task and the other items.
inline constexpr IID kItemEvents10 = officeIid(0x0006302B);
inline constexpr DISPID kItemRead = 0xF001;                  // ()
inline constexpr DISPID kItemOpen = 0xF003;                  // (VARIANT_BOOL* Cancel)
inline constexpr DISPID kItemClose = 0xF004;                 // (VARIANT_BOOL* Cancel)
inline constexpr DISPID kItemCustomPropertyChange = 0xF008;  // (BSTR Name)
inline constexpr DISPID kItemPropertyChange = 0xF009;        // (BSTR Name)

// Office's command-bar button.
inline constexpr IID kCommandBarButtonEvents = officeIid(0x000C0351);
inline constexpr DISPID kClick = 1;  // (CommandBarButton* Ctrl, VARIANT_BOOL* CancelDefault)

}  // namespace korvanel::win::events
