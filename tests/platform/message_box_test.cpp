#include "platform/message_box.h"

#include <gtest/gtest.h>

#include "tests/platform/scripted_prompter.h"

namespace platform {
namespace {

using testing::ScriptedPrompter;

class MessageBoxTest : public ::testing::Test {
 protected:
  void TearDown() override { SetAppName(""); }
};

TEST_F(MessageBoxTest, WithoutPrompterEveryBoxTakesItsDefaultAnswer) {
  struct Case {
    UINT type;
    int answer;
  } cases[] = {
      {MB_OK, IDOK},
      {MB_OK | MB_ICONSTOP, IDOK},
      {MB_OKCANCEL | MB_ICONQUESTION, IDCANCEL},
      {MB_RETRYCANCEL | MB_ICONEXCLAMATION, IDCANCEL},
      {MB_YESNO | MB_ICONQUESTION, IDNO},
  };
  ASSERT_EQ(InstallPrompter(nullptr), nullptr);
  for (const Case& c : cases) {
    EXPECT_EQ(AfxMessageBox("text", c.type), c.answer) << c.type;
    EXPECT_EQ(DefaultAnswer(c.type), c.answer) << c.type;
  }
}

TEST_F(MessageBoxTest, BoxesCarryTheAppNameAndAnswerFromTheScript) {
  SetAppName("User Utility");
  ScriptedPrompter prompter;
  prompter.Answer(IDOK);
  prompter.Answer(IDRETRY);

  EXPECT_EQ(AfxMessageBox("first", MB_OKCANCEL | MB_ICONQUESTION), IDOK);
  EXPECT_EQ(AfxMessageBox("second\r\nline", MB_RETRYCANCEL), IDRETRY);
  SetAppName("Other");
  EXPECT_EQ(AfxMessageBox("third", MB_YESNO), IDNO);  // queue empty: default answer
  EXPECT_EQ(AfxMessageBox("fourth"), IDOK);

  ASSERT_EQ(prompter.boxes().size(), 4u);
  EXPECT_EQ(prompter.boxes()[0].caption, "User Utility");
  EXPECT_EQ(prompter.boxes()[0].text, "first");
  EXPECT_EQ(prompter.boxes()[0].type, MB_OKCANCEL | MB_ICONQUESTION);
  EXPECT_EQ(prompter.boxes()[1].text, "second\r\nline");
  EXPECT_EQ(prompter.boxes()[2].caption, "Other");
  EXPECT_EQ(prompter.boxes()[3].type, MB_OK);
}

TEST_F(MessageBoxTest, ScriptedPrompterRestoresThePreviousOne) {
  ScriptedPrompter outer;
  {
    ScriptedPrompter inner;
    AfxMessageBox("inner");
    EXPECT_EQ(inner.boxes().size(), 1u);
  }
  AfxMessageBox("outer");
  ASSERT_EQ(outer.boxes().size(), 1u);
  EXPECT_EQ(outer.boxes()[0].text, "outer");
}

}  // namespace
}  // namespace platform
