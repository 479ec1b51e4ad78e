#include "game/screens/TextPrompt.h"

#include "support/ScreenFixture.h"

namespace quelvane {
namespace {

using platform::MessageKind;
namespace vk = platform::vk;

TEST(KeyToCharTest, TheUsLayoutWithAndWithoutShift) {
    const std::string digits = "0123456789";
    const std::string shifted = ")!@#$%^&*(";
    for (int d = 0; d < 10; ++d) {
        EXPECT_EQ(keyToChar(vk::kDigit0 + d, false), digits[d]);
        EXPECT_EQ(keyToChar(vk::kDigit0 + d, true), shifted[d]);
    }
    const std::string keys = ";=,-./`[\\]'";
    const std::string withShift = ":+<_>?~{|}\"";
    const int codes[] = {186, 187, 188, 189, 190, 191, 192, 219, 220, 221, 222};
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keyToChar(codes[i], false), keys[i]) << codes[i];
        EXPECT_EQ(keyToChar(codes[i], true), withShift[i]) << codes[i];
    }
    for (const int other : {vk::kLetterA, vk::kSpace, vk::kEscape, vk::kF1, 185, 193, 218, 223})
        EXPECT_EQ(keyToChar(other, false), std::nullopt) << other;
}

class TextPromptTest : public ScreenFixture {
  protected:
    // Laid out as the high-score name prompt: 33 characters at most, Enter refused on an empty
    // text, the cursor blinking every 250 ms after the typed text at (175, 200).
    TextPrompt prompt{.flags = TextPrompt::DrawPrompt | TextPrompt::CursorShown |
                               TextPrompt::CursorBlinks | TextPrompt::Transparent,
                      .inputX = 175,
                      .inputY = 200,
                      .promptX = 175,
                      .promptY = 150,
                      .promptColour = rgb(255, 255, 0),
                      .blinkInterval = 250,
                      .prompt = "Name:",
                      .maxLength = 33};
};

TEST_F(TextPromptTest, ThirtyThreeCharactersAtMostWithBackspaceAndEnterStillWorking) {
    for (int i = 0; i < 34; ++i)
        keyDown(1, 'A');
    keyDown(2, vk::kSpace);  // refused at the limit
    keyDown(3, '1');         // refused
    keyDown(4, vk::kBackspace);
    keyDown(5, 'B');
    keyDown(6, 'C');  // refused again
    keyDown(7, vk::kEnter);
    EXPECT_EQ(promptText(prompt), std::string(32, 'a') + "b");
    EXPECT_EQ(passes, 8);

    // No limit at all with 0.
    prompt.maxLength = 0;
    for (int i = 0; i < 100; ++i)
        keyDown(10, 'Z');
    keyDown(11, vk::kEnter);
    EXPECT_EQ(promptText(prompt).size(), 100u);
}

TEST_F(TextPromptTest, EnterOnAnEmptyNameAndKeysThatTypeNothingAreIgnored) {
    for (const int key :
         {vk::kEnter, vk::kEscape, vk::kF1, vk::kF2, vk::kCtrl, vk::kAlt, vk::kUp, vk::kTab})
        keyDown(1, key);
    keyDown(2, vk::kBackspace);  // on an empty text
    keyDown(3, 'X');
    keyDown(4, vk::kSpace);
    keyDown(5, vk::kEnter);
    EXPECT_EQ(promptText(prompt), "x ");
    EXPECT_EQ(passes, 6);

    prompt.flags |= TextPrompt::AcceptEmpty;
    keyDown(6, vk::kEnter);
    EXPECT_EQ(promptText(prompt), "");
    EXPECT_EQ(passes, 7);
}

TEST_F(TextPromptTest, ShiftGivesCapitalsAndTheShiftedSignsUntilItIsReleased) {
    keyDown(1, 'Q');
    keyDown(1, vk::kShift);
    keyDown(1, 'Q');
    keyDown(1, '2');
    keyDown(1, 222);
    keyDown(1, 189);
    keyUp(2, vk::kShift);
    keyDown(2, '2');
    keyDown(2, 222);
    keyUp(2, 'Q');
    keys.add(2, {MessageKind::MouseMove, 0, false, 5, 5});
    keyDown(3, vk::kEnter);
    EXPECT_EQ(promptText(prompt), "qQ@\"_2'");
    // Key-ups are the prompt's own; every other message reaches the window procedure.
    EXPECT_EQ(dispatched, std::vector<MessageKind>{MessageKind::MouseMove});
}

TEST_F(TextPromptTest, PassesArePacedAndTheScreenIsTheNamePrompt) {
    keyDown(9, 'A');
    keyDown(9, vk::kEnter);
    const DisplayStatus before = display.GetStatus();
    EXPECT_EQ(promptText(prompt), "a");
    EXPECT_EQ(passes, 10);
    EXPECT_EQ(clock.ticks(), 1000u + 10 * kFramePeriod);
    EXPECT_EQ(screens, std::vector<Screen>(10, Screen::Name));
    EXPECT_EQ(currentScreen, Screen::Play);
    EXPECT_EQ(display.GetStatus().dcHeld, before.dcHeld);

    // Called with the device context held, the prompt draws and hands it back held.
    ASSERT_TRUE(succeeded(display.GetDC()));
    keyDown(11, 'B');
    keyDown(11, vk::kEnter);
    EXPECT_EQ(promptText(prompt), "b");
    EXPECT_TRUE(display.GetStatus().dcHeld);
    display.ReleaseDC();
}

// Whether the cursor's underscore shows after the typed text in the picture last presented.
bool cursorShown(size_t typed) {
    const Surface* shown = display.presentedSurface();
    const int left = 175 + static_cast<int>(typed) * 7;
    int white = 0;
    for (int y = 200; y < 216; ++y)
        for (int x = left; x < left + 7; ++x)
            white += inkOf(shown->pixel(x, y), rgb(255, 255, 255));
    return white > 0;
}

std::vector<bool> cursorByPass;

TEST_F(TextPromptTest, TheCursorShowsAtFirstAndBlinksEvery250Milliseconds) {
    cursorByPass.clear();
    passObserver = passEnds().subscribe([] {
        countPass();
        cursorByPass.push_back(cursorShown(0));
    });
    keys.add(60, {MessageKind::Close});
    EXPECT_EQ(promptText(prompt), "");
    ASSERT_EQ(cursorByPass.size(), 61u);
    // Passes are 15 ms apart: the cursor changes in the passes that start 255 ms after the last
    // change, the 18th, the 35th and the 52nd.
    for (size_t pass = 1; pass <= cursorByPass.size(); ++pass) {
        const bool expected = pass < 18 || (pass >= 35 && pass < 52);
        EXPECT_EQ(cursorByPass[pass - 1], expected) << "pass " << pass;
    }

    // Without either cursor flag it never shows.
    prompt.flags &= ~(TextPrompt::CursorShown | TextPrompt::CursorBlinks);
    cursorByPass.clear();
    keys.add(80, {MessageKind::Close});
    exitRequested = false;
    promptText(prompt);
    EXPECT_EQ(std::count(cursorByPass.begin(), cursorByPass.end(), true), 0);
    EXPECT_FALSE(cursorByPass.empty());
}

}  // namespace
}  // namespace quelvane
