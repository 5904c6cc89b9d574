#include "win/system/input_box.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "win/com/module.h"
#include "win/com/wide.h"

namespace korvanel::win {

namespace {

// A dialog template built in memory: words appended in the layout DialogBoxIndirect reads,
// each item starting on a DWORD boundary.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, short cx, short cy, text::TextView title) {
    DLGTEMPLATE header = {};
    header.style = style;
    header.cx = cx;
    header.cy = cy;
    append(&header, sizeof header);
    word(0);  // no menu
    word(0);  // the standard dialog class
    string(title);
    word(8);  // the font's point size (DS_SETFONT)
    string(u"MS Shell Dlg");
  }

  // A control of a predefined class (0x0080 button, 0x0081 edit, 0x0082 static).
  void control(WORD classAtom, int id, DWORD style, short x, short y, short cx, short cy,
               text::TextView caption = {}) {
    align();
    DLGITEMTEMPLATE item = {};
    item.style = style | WS_CHILD | WS_VISIBLE;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.id = static_cast<WORD>(id);
    append(&item, sizeof item);
    word(0xFFFF);
    word(classAtom);
    string(caption);
    word(0);  // no creation data
    ++count_;
  }

  const DLGTEMPLATE* get() {
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words_.data());
    header->cdit = count_;
    return header;
  }

 private:
  void append(const void* data, std::size_t size) {
    const std::size_t at = words_.size();
    words_.resize(at + (size + 1) / 2);
    std::memcpy(words_.data() + at, data, size);
  }
  void word(WORD w) { words_.push_back(w); }
  void string(text::TextView s) {
    words_.insert(words_.end(), s.begin(), s.end());
    words_.push_back(0);
  }
  void align() {
    if (words_.size() % 2 != 0) words_.push_back(0);
  }

  // Its storage comes from operator new, aligned for any type: the header is DWORD-aligned.
  std::vector<WORD> words_;
  WORD count_ = 0;
};

struct InputBoxState {
  text::TextView prompt;
  text::TextView defaultText;
  std::optional<text::Text> result;
};

text::Text editText(HWND dialog) {
  HWND edit = GetDlgItem(dialog, kInputBoxEditId);
  const int length = GetWindowTextLengthW(edit);
  std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(edit, buffer.data(), length + 1);
  return fromWide(buffer.data(), static_cast<std::size_t>(got > 0 ? got : 0));
}

INT_PTR CALLBACK inputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    switch (message) {
      case WM_INITDIALOG: {
        auto* state = reinterpret_cast<InputBoxState*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetDlgItemTextW(dialog, kInputBoxPromptId, toWide(state->prompt).c_str());
        HWND edit = GetDlgItem(dialog, kInputBoxEditId);
        SetWindowTextW(edit, toWide(state->defaultText).c_str());
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        return FALSE;  // the focus is set
      }
      case WM_COMMAND: {
        auto* state = reinterpret_cast<InputBoxState*>(GetWindowLongPtrW(dialog, DWLP_USER));
        const int id = LOWORD(wParam);
        if (id == IDOK && state != nullptr) {
          state->result = editText(dialog);
          EndDialog(dialog, IDOK);
          return TRUE;
        }
        if (id == IDCANCEL) {
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        }
        return FALSE;
      }
      default:
        return FALSE;
    }
  } catch (...) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
}

}  // namespace

std::optional<text::Text> showInputBox(HWND owner, text::TextView prompt, text::TextView title,
                                       text::TextView defaultText) noexcept {
  try {
    // The proportions of the classic input box, in dialog units.
    DialogTemplate box(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                       250, 92, title);
    box.control(0x0082, kInputBoxPromptId, SS_LEFT | SS_NOPREFIX, 7, 7, 180, 56);
    box.control(0x0080, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 193, 7, 50, 14, u"OK");
    box.control(0x0080, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 193, 25, 50, 14, u"Cancel");
    box.control(0x0081, kInputBoxEditId, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 70, 236, 13);
    InputBoxState state{prompt, defaultText, std::nullopt};
    HINSTANCE instance = moduleHandle() != nullptr ? moduleHandle() : GetModuleHandleW(nullptr);
    const INT_PTR answer = DialogBoxIndirectParamW(instance, box.get(), owner, inputBoxProc,
                                                   reinterpret_cast<LPARAM>(&state));
    if (answer != IDOK) return std::nullopt;
    return std::move(state.result);
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace korvanel::win
