#include "document/drawingedit.h"

#include <new>
#include <vector>

namespace tervasko {

TTextElement CopyText(const TTextElement& text) {
    TTextElement copy = text;
    copy.Text = text.Text ? NewWideBuffer(WideView(text.Text)) : nullptr;
    copy.FontName = text.FontName ? NewAnsiBuffer(AnsiView(text.FontName)) : nullptr;
    return copy;
}

namespace {

class AppendedElements : public DrawingEdit {
public:
    AppendedElements(std::uint32_t first, std::uint32_t count) : first_(first), count_(count) {}

    bool Undo(TDrawing& d) override {
        if (d.Elements.Count() < first_ + count_) return false;
        try {
            taken_.assign(count_, TDrawElement{});
        } catch (const std::bad_alloc&) {
            return false;
        }
        for (std::uint32_t i = 0; i < count_; ++i) taken_[i] = d.Elements.At(first_ + i);
        for (std::uint32_t i = first_ + count_; i > first_; --i)
            d.Elements.Delete(static_cast<std::int32_t>(i - 1));
        return true;
    }
    bool Redo(TDrawing& d) override {
        if (taken_.empty()) return true;
        TDrawElement* at = d.Elements.AppendMany(count_);
        if (!at) return false;
        for (std::uint32_t i = 0; i < count_; ++i) at[i] = taken_[i];
        taken_.clear();
        taken_.shrink_to_fit();
        return true;
    }
    std::size_t Bytes() const override { return taken_.capacity() * sizeof(TDrawElement); }

private:
    std::uint32_t first_, count_;
    std::vector<TDrawElement> taken_;  // while taken back
};

class RemovedElement : public DrawingEdit {
public:
    RemovedElement(std::uint32_t index, const TDrawElement& record)
        : index_(index), record_(record) {}

    bool Undo(TDrawing& d) override {
        TDrawElement* e = d.Elements.Insert(static_cast<std::int32_t>(index_));
        if (!e) return false;
        *e = record_;
        return true;
    }
    bool Redo(TDrawing& d) override {
        if (index_ >= d.Elements.Count()) return false;
        d.Elements.Delete(static_cast<std::int32_t>(index_));
        return true;
    }

private:
    std::uint32_t index_;
    TDrawElement record_;
};

class ChangedElement : public DrawingEdit {
public:
    ChangedElement(std::uint32_t index, const TDrawElement& before, const TDrawElement& after)
        : index_(index), before_(before), after_(after) {}

    bool Undo(TDrawing& d) override { return put(d, before_); }
    bool Redo(TDrawing& d) override { return put(d, after_); }

private:
    bool put(TDrawing& d, const TDrawElement& record) {
        if (index_ >= d.Elements.Count()) return false;
        *d.Elements.Select(static_cast<std::int32_t>(index_)) = record;
        return true;
    }

    std::uint32_t index_;
    TDrawElement before_, after_;
};

// Holds a text record and, while `owned`, its strings.
class HeldText {
public:
    HeldText() = default;
    HeldText(const HeldText&) = delete;
    HeldText& operator=(const HeldText&) = delete;
    ~HeldText() {
        if (owned) FreeTextStrings(record);
    }
    TTextElement record{};
    bool owned = false;
};

class AppendedText : public DrawingEdit {
public:
    explicit AppendedText(std::uint32_t index) : index_(index) {}

    bool Undo(TDrawing& d) override {
        if (index_ + 1 != d.Texts.Count()) return false;
        held_.record = d.Texts.At(index_);
        held_.owned = true;
        d.Texts.Delete(static_cast<std::int32_t>(index_));
        return true;
    }
    bool Redo(TDrawing& d) override {
        if (!held_.owned) return true;
        TTextElement* t = d.Texts.Append();
        if (!t) return false;
        *t = held_.record;
        held_.owned = false;
        return true;
    }

private:
    std::uint32_t index_;
    HeldText held_;
};

class RemovedText : public DrawingEdit {
public:
    RemovedText(std::uint32_t index, const TTextElement& record) : index_(index) {
        held_.record = record;
        held_.owned = true;
    }

    bool Undo(TDrawing& d) override {
        TTextElement* t = d.Texts.Insert(static_cast<std::int32_t>(index_));
        if (!t) return false;
        *t = held_.record;
        held_.owned = false;
        return true;
    }
    bool Redo(TDrawing& d) override {
        if (index_ >= d.Texts.Count()) return false;
        held_.record = d.Texts.At(index_);
        held_.owned = true;
        d.Texts.Delete(static_cast<std::int32_t>(index_));
        return true;
    }

private:
    std::uint32_t index_;
    HeldText held_;
};

class ChangedText : public DrawingEdit {
public:
    ChangedText(std::uint32_t index, const TTextElement& before, const TTextElement& after)
        : index_(index) {
        before_.record = CopyText(before);
        before_.owned = true;
        after_.record = CopyText(after);
        after_.owned = true;
    }

    bool Undo(TDrawing& d) override { return put(d, before_.record); }
    bool Redo(TDrawing& d) override { return put(d, after_.record); }

private:
    bool put(TDrawing& d, const TTextElement& record) {
        if (index_ >= d.Texts.Count()) return false;
        TTextElement copy = CopyText(record);
        if ((record.Text && !copy.Text) || (record.FontName && !copy.FontName)) {
            FreeTextStrings(copy);
            return false;
        }
        TTextElement& t = *d.Texts.Select(static_cast<std::int32_t>(index_));
        FreeTextStrings(t);
        t = copy;
        return true;
    }

    std::uint32_t index_;
    HeldText before_, after_;
};

}  // namespace

std::unique_ptr<DrawingEdit> ElementsAppended(std::uint32_t first, std::uint32_t count) {
    return std::make_unique<AppendedElements>(first, count);
}
std::unique_ptr<DrawingEdit> ElementRemoved(std::uint32_t index, const TDrawElement& record) {
    return std::make_unique<RemovedElement>(index, record);
}
std::unique_ptr<DrawingEdit> ElementChanged(std::uint32_t index, const TDrawElement& before,
                                            const TDrawElement& after) {
    return std::make_unique<ChangedElement>(index, before, after);
}
std::unique_ptr<DrawingEdit> TextAppended(std::uint32_t index) {
    return std::make_unique<AppendedText>(index);
}
std::unique_ptr<DrawingEdit> TextRemoved(std::uint32_t index, const TTextElement& record) {
    return std::make_unique<RemovedText>(index, record);
}
std::unique_ptr<DrawingEdit> TextChanged(std::uint32_t index, const TTextElement& before,
                                         const TTextElement& after) {
    return std::make_unique<ChangedText>(index, before, after);
}

}  // namespace tervasko
