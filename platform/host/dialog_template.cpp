// Reading dialog templates: a header, then each item aligned to four bytes; names and texts
// are UTF-16 strings or a 0xFFFF marker followed by a number.
#include "platform/host/dialog_template.h"

namespace hostemu {

namespace {

class Cursor {
  public:
    Cursor(const BYTE* data, size_t size) : data_(data), size_(size) {}

    bool Word(WORD& value) {
        if (size_ - offset_ < 2)
            return false;
        value = static_cast<WORD>(data_[offset_] | data_[offset_ + 1] << 8);
        offset_ += 2;
        return true;
    }
    bool Dword(DWORD& value) {
        WORD low = 0, high = 0;
        if (!Word(low) || !Word(high))
            return false;
        value = static_cast<DWORD>(low) | static_cast<DWORD>(high) << 16;
        return true;
    }
    bool Short(short& value) {
        WORD word = 0;
        if (!Word(word))
            return false;
        value = static_cast<short>(word);
        return true;
    }
    bool Skip(size_t count) {
        if (size_ - offset_ < count)
            return false;
        offset_ += count;
        return true;
    }
    bool Align() {
        size_t aligned = (offset_ + 3) & ~static_cast<size_t>(3);
        if (aligned > size_)
            return false;
        offset_ = aligned;
        return true;
    }
    // A UTF-16 string, or a number after 0xFFFF; 8-bit text keeps only ASCII faithfully.
    bool NameOrNumber(std::string& text, WORD& number, bool& isNumber) {
        WORD first = 0;
        text.clear();
        isNumber = false;
        if (!Word(first))
            return false;
        if (first == 0xFFFF) {
            isNumber = true;
            return Word(number);
        }
        for (WORD unit = first; unit != 0;) {
            text += unit < 0x100 ? static_cast<char>(unit) : '?';
            if (!Word(unit))
                return false;
        }
        return true;
    }
    bool String(std::string& text) {
        WORD number = 0;
        bool isNumber = false;
        return NameOrNumber(text, number, isNumber);
    }

  private:
    const BYTE* data_;
    size_t size_;
    size_t offset_ = 0;
};

std::string PredefinedClass(WORD atom) {
    switch (atom) {
    case 0x80:
        return "Button";
    case 0x81:
        return "Edit";
    case 0x82:
        return "Static";
    case 0x83:
        return "ListBox";
    case 0x84:
        return "ScrollBar";
    case 0x85:
        return "ComboBox";
    default:
        return "#" + std::to_string(atom);
    }
}

} // namespace

bool ParseDialogTemplate(const BYTE* data, size_t size, DialogTemplate& dialog) {
    dialog = DialogTemplate();
    if (data == nullptr)
        return false;
    Cursor cursor(data, size);
    WORD version = 0, signature = 0;
    bool extended = size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF;
    WORD count = 0;
    if (extended) {
        DWORD helpId = 0;
        if (!cursor.Word(version) || !cursor.Word(signature) || !cursor.Dword(helpId) ||
            !cursor.Dword(dialog.exStyle) || !cursor.Dword(dialog.style))
            return false;
    } else if (!cursor.Dword(dialog.style) || !cursor.Dword(dialog.exStyle)) {
        return false;
    }
    std::string menu;
    WORD number = 0;
    bool isNumber = false;
    if (!cursor.Word(count) || !cursor.Short(dialog.x) || !cursor.Short(dialog.y) ||
        !cursor.Short(dialog.cx) || !cursor.Short(dialog.cy) ||
        !cursor.NameOrNumber(menu, number, isNumber) ||
        !cursor.NameOrNumber(dialog.className, number, isNumber) || !cursor.String(dialog.caption))
        return false;
    if (isNumber)
        dialog.className = PredefinedClass(number);
    if (dialog.style & DS_SETFONT) {
        if (!cursor.Word(dialog.pointSize) || (extended && !cursor.Skip(4)) ||
            !cursor.String(dialog.typeface))
            return false;
    }
    for (WORD i = 0; i < count; ++i) {
        DialogItemTemplate item;
        if (!cursor.Align())
            return false;
        if (extended) {
            DWORD helpId = 0;
            if (!cursor.Dword(helpId) || !cursor.Dword(item.exStyle) || !cursor.Dword(item.style))
                return false;
        } else if (!cursor.Dword(item.style) || !cursor.Dword(item.exStyle)) {
            return false;
        }
        if (!cursor.Short(item.x) || !cursor.Short(item.y) || !cursor.Short(item.cx) ||
            !cursor.Short(item.cy))
            return false;
        if (extended) {
            DWORD id = 0;
            if (!cursor.Dword(id))
                return false;
            item.id = static_cast<int>(id);
        } else {
            WORD id = 0;
            if (!cursor.Word(id))
                return false;
            item.id = static_cast<short>(id);
        }
        if (!cursor.NameOrNumber(item.className, number, isNumber))
            return false;
        if (isNumber)
            item.className = PredefinedClass(number);
        if (!cursor.NameOrNumber(item.text, number, isNumber))
            return false;
        if (isNumber)
            item.text.clear();
        WORD extra = 0;
        if (!cursor.Word(extra) || !cursor.Skip(extra))
            return false;
        dialog.items.push_back(item);
    }
    return true;
}

} // namespace hostemu
