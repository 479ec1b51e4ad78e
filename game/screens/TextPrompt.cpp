#include "game/screens/TextPrompt.h"

#include "game/core/ExitRequest.h"
#include "game/gfx/Display.h"
#include "game/gfx/Font.h"
#include "game/screens/Pass.h"
#include "game/screens/Screen.h"
#include "game/screens/TextPage.h"
#include "platform/Platform.h"
#include "platform/VirtualKeys.h"

namespace quelvane {

namespace {

constexpr int32_t kDefaultLineHeight = 16;

struct PunctuationKey {
    int key;
    char plain;
    char shifted;
};

constexpr PunctuationKey kPunctuation[] = {
    {186, ';', ':'},  {187, '=', '+'}, {188, ',', '<'},  {189, '-', '_'},
    {190, '.', '>'},  {191, '/', '?'}, {192, '`', '~'},  {219, '[', '{'},
    {220, '\\', '|'}, {221, ']', '}'}, {222, '\'', '"'},
};

// Shift with the digits 0 to 9.
constexpr char kShiftedDigits[] = ")!@#$%^&*(";

// The text being typed and what the keys do to it.
class TypedText {
  public:
    explicit TypedText(const TextPrompt& prompt) : prompt_(prompt) {}

    void keyDown(const platform::Message& message) {
        using namespace platform::vk;
        const int key = message.key;
        const bool full = prompt_.maxLength != 0 && text_.size() >= prompt_.maxLength;
        if (full && key != kBackspace && key != kEnter && key != kShift)
            return;
        // What the player's layout types, Shift applied already; else the US keyboard's.
        const bool layoutTyped = message.typed >= 0 && key != kBackspace && key != kEnter;
        if (layoutTyped) {
            if (message.typed > 0)
                text_ += static_cast<char>(message.typed);
        } else if (key >= kLetterA && key < kLetterA + 26) {
            text_ += static_cast<char>(key - kLetterA + (shift_ ? 'A' : 'a'));
        } else if (key == kBackspace) {
            if (!text_.empty())
                text_.pop_back();
        } else if (key == kEnter) {
            done_ = done_ || !text_.empty() || (prompt_.flags & TextPrompt::AcceptEmpty);
        } else if (key == kShift) {
            shift_ = true;
        } else if (key == kSpace) {
            text_ += ' ';
        } else if (const auto c = keyToChar(key, shift_)) {
            text_ += *c;
        }
    }

    void keyUp(int key) {
        if (key == platform::vk::kShift)
            shift_ = false;
    }

    const std::string& text() const { return text_; }
    bool done() const { return done_; }

  private:
    const TextPrompt& prompt_;
    std::string text_;
    bool shift_ = false;
    bool done_ = false;
};

}  // namespace

std::optional<char> keyToChar(int key, bool shift) {
    if (key >= platform::vk::kDigit0 && key < platform::vk::kDigit0 + 10) {
        const int digit = key - platform::vk::kDigit0;
        return shift ? kShiftedDigits[digit] : static_cast<char>('0' + digit);
    }
    for (const PunctuationKey& p : kPunctuation) {
        if (p.key == key)
            return shift ? p.shifted : p.plain;
    }
    return std::nullopt;
}

std::string promptText(const TextPrompt& prompt) {
    const ScreenScope scope(Screen::Name);
    const bool dcHeld = display.GetStatus().dcHeld;
    if (dcHeld)
        display.ReleaseDC();

    const uint32_t f = prompt.flags;
    const bool transparent = f & TextPrompt::Transparent;
    const ColourRef back = f & TextPrompt::HasBackColour ? prompt.backColour : rgb(0, 0, 0);
    const ColourRef inputColour =
        f & TextPrompt::HasInputColour ? prompt.inputColour : rgb(255, 255, 255);
    const ColourRef promptColour = f & (TextPrompt::DrawPrompt | TextPrompt::HasPromptColour)
                                       ? prompt.promptColour
                                       : inputColour;
    const int32_t lineHeight =
        f & TextPrompt::HasLineHeight ? prompt.lineHeight : kDefaultLineHeight;
    const bool blinks = f & (TextPrompt::CursorShown | TextPrompt::CursorBlinks);
    const auto promptLines = splitLines(prompt.prompt);

    TypedText typed(prompt);
    bool cursorShown = f & TextPrompt::CursorShown;
    uint32_t lastToggle = platform::tickCount();
    while (!typed.done() && !exitRequested) {
        const uint32_t passStart = platform::tickCount();
        platform::Message message;
        while (platform::peekMessage(message)) {
            if (message.kind == platform::MessageKind::KeyDown)
                typed.keyDown(message);
            else if (message.kind == platform::MessageKind::KeyUp)
                typed.keyUp(message.key);
            else
                dispatchMessage(message);
        }

        display.GetDC();
        display.SelectFont(hudFont.get());
        if (f & TextPrompt::DrawPrompt) {
            for (size_t j = 0; j < promptLines.size(); ++j)
                display.DrawString(promptLines[j].c_str(), prompt.promptX,
                                   prompt.promptY + static_cast<int32_t>(j) * lineHeight,
                                   transparent, promptColour, back);
        }
        const uint32_t now = platform::tickCount();
        if (blinks && now - lastToggle >= prompt.blinkInterval) {
            cursorShown = !cursorShown;
            lastToggle = now;
        }
        const std::string line = typed.text() + (cursorShown ? "_" : "  ");
        display.DrawString(line.c_str(), prompt.inputX, prompt.inputY, transparent, inputColour,
                           back);
        display.RestoreFont();
        display.ReleaseDC();
        display.Flip(true);
        endPass(passStart);
    }

    if (dcHeld)
        display.GetDC();
    return typed.text();
}

}  // namespace quelvane
