// The event interfaces the served Outlook sources and the DISPIDs it raises on them.
// TODO(served-sim): share win/outlook/event_ids.h once the adapters have it.
#pragma once

#include <oaidl.h>

namespace korvanel::win::served {

inline constexpr IID kIidApplicationEvents11 = {
    0x0006302C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID kIidInspectorsEvents = {
    0x00063079, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID kIidInspectorEvents10 = {
    0x0006302A, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID kIidInspectorEvents = {
    0x0006307D, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID kIidItemsEvents = {
    0x00063077, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID kIidItemEvents10 = {
    0x0006302B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID kIidCommandBarButtonEvents = {
    0x000C0351, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

inline constexpr DISPID kDispidItemSend = 0xF002;
inline constexpr DISPID kDispidOptionsPagesAdd = 0xF005;
inline constexpr DISPID kDispidNewMailEx = 0xFAB5;
inline constexpr DISPID kDispidNewInspector = 0xF001;
inline constexpr DISPID kDispidInspectorActivate = 0xF001;
inline constexpr DISPID kDispidInspectorDeactivate = 0xF006;
inline constexpr DISPID kDispidInspectorClose = 0xF008;
inline constexpr DISPID kDispidItemAdd = 0xF001;
inline constexpr DISPID kDispidItemChange = 0xF002;
inline constexpr DISPID kDispidItemRead = 0xF001;
inline constexpr DISPID kDispidItemOpen = 0xF003;
inline constexpr DISPID kDispidItemClose = 0xF004;
inline constexpr DISPID kDispidItemCustomPropertyChange = 0xF008;
inline constexpr DISPID kDispidItemPropertyChange = 0xF009;
inline constexpr DISPID kDispidClick = 1;

}  // namespace korvanel::win::served
