#include "input/featurelocation.h"
#include "blanks.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace tessaron {

namespace {

using blanks::isSpace;

bool isDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

// Reads the location from left to right, keeping the operators still open on
// a stack of its own, so that deep nesting costs memory, not call depth.
class LocationParser {
public:
    explicit LocationParser(std::string_view text)
    {
        for (const char ch : text) {
            if (!isSpace(ch)) {
                text_ += ch;
            }
        }
    }

    std::optional<FeatureLocation> parse()
    {
        frames_.emplace_back(Operator::Whole);
        for (;;) {
            if (!readPart()) {
                return std::nullopt;
            }
            // After a part: a comma opens the next part of a join, a closing
            // parenthesis ends an operator, the end of the text ends it all.
            for (;;) {
                if (pos_ == text_.size()) {
                    if (frames_.size() != 1) {
                        return std::nullopt;
                    }
                    FeatureLocation whole = frames_.back().firstPart;
                    if (parts_.size() > 1) {
                        whole.parts = std::move(parts_);
                    }
                    return whole;
                }
                const char ch = text_[pos_++];
                if (ch == ',' && frames_.back().op == Operator::Join) {
                    break;
                }
                if (ch != ')' || frames_.size() == 1) {
                    return std::nullopt;
                }
                const FeatureLocation part = close(frames_.back());
                frames_.pop_back();
                if (!deliver(part)) {
                    return std::nullopt;
                }
            }
        }
    }

private:
    enum class Operator { Whole, Complement, Join };

    struct Frame {
        explicit Frame(Operator kind) : op(kind) {}
        Operator op;
        int parts = 0;
        bool allComplement = true;
        FeatureLocation firstPart;
        FeatureLocation lastPart;
    };

    // Opens the operators that start here, then reads the range inside them.
    bool readPart()
    {
        for (;;) {
            if (consume("complement(")) {
                frames_.emplace_back(Operator::Complement);
            } else if (consume("join(") || consume("order(")) {
                frames_.emplace_back(Operator::Join);
            } else {
                break;
            }
        }
        const auto first = readNumber();
        if (!first) {
            return false;
        }
        auto last = first;
        if (consume("..")) {
            last = readNumber();
            if (!last) {
                return false;
            }
        }
        const auto complements = std::count_if(frames_.begin(), frames_.end(), [](const Frame& frame) {
            return frame.op == Operator::Complement;
        });
        parts_.push_back({*first, *last, complements % 2 == 1});
        return deliver(FeatureLocation{*first, *last, false});
    }

    // Hands a finished part to the innermost open operator.
    bool deliver(const FeatureLocation& part)
    {
        Frame& frame = frames_.back();
        if (frame.op != Operator::Join && frame.parts > 0) {
            return false;
        }
        if (frame.parts == 0) {
            frame.firstPart = part;
        }
        frame.lastPart = part;
        frame.allComplement = frame.allComplement && part.complement;
        ++frame.parts;
        return true;
    }

    static FeatureLocation close(const Frame& frame)
    {
        if (frame.op == Operator::Complement) {
            return {frame.firstPart.first, frame.firstPart.last, !frame.firstPart.complement};
        }
        if (frame.allComplement) {
            return {frame.lastPart.first, frame.firstPart.last, true};
        }
        return {frame.firstPart.first, frame.lastPart.last, false};
    }

    bool consume(std::string_view word)
    {
        if (std::string_view(text_).substr(pos_).starts_with(word)) {
            pos_ += word.size();
            return true;
        }
        return false;
    }

    // A base number from 1 to 2^31 - 1, after an optional < or >.
    std::optional<std::int32_t> readNumber()
    {
        if (pos_ < text_.size() && (text_[pos_] == '<' || text_[pos_] == '>')) {
            ++pos_;
        }
        if (pos_ == text_.size() || !isDigit(text_[pos_])) {
            return std::nullopt;
        }
        std::int64_t value = 0;
        while (pos_ < text_.size() && isDigit(text_[pos_])) {
            value = value * 10 + (text_[pos_++] - '0');
            if (value > std::numeric_limits<std::int32_t>::max()) {
                return std::nullopt;
            }
        }
        if (value == 0) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(value);
    }

    std::string text_;
    std::size_t pos_ = 0;
    std::vector<Frame> frames_;
    std::vector<FeatureLocation::Part> parts_;
};

}  // namespace

std::optional<FeatureLocation> parseLocation(std::string_view text)
{
    return LocationParser(text).parse();
}

}  // namespace tessaron
