#include <gtest/gtest.h>

#include <QThread>
#include <QTimer>

#include "app/Application.h"
#include "media/EngineException.h"
#include "support/ScriptedPrompts.h"

namespace {

TEST(ApplicationException, PeriodIsAddedAfterCharactersThatSortAfterIt) {
  EXPECT_EQ(MessageWithPeriod("Unknown encoder 'x'"), "Unknown encoder 'x'");  // '\'' sorts before '.'
  EXPECT_EQ(MessageWithPeriod("frame_rate is invalid"), "frame_rate is invalid.");
  EXPECT_EQ(MessageWithPeriod("Done."), "Done.");
  EXPECT_EQ(MessageWithPeriod("Stop!"), "Stop!");  // '!' sorts before '.'
  EXPECT_EQ(MessageWithPeriod("Value 5"), "Value 5.");
  EXPECT_EQ(MessageWithPeriod(""), "");
}

TEST(ApplicationException, EngineFailuresWarnOtherFailuresShowAnError) {
  ScriptedPrompts prompts;
  setApplicationTitle("Oxbel DVD to 3GP Converter");
  ShowApplicationException(std::make_exception_ptr(EngineException("Unknown target type")), nullptr);
  ShowApplicationException(std::make_exception_ptr(std::invalid_argument("'abc' is not a valid integer value")), nullptr);
  ASSERT_EQ(prompts.asked.size(), 2);
  EXPECT_EQ(prompts.asked[0].caption, "Oxbel DVD to 3GP Converter");
  EXPECT_EQ(prompts.asked[0].text, "Unknown target type.");
  EXPECT_EQ(prompts.asked[0].icon, PromptIcon::Warning);
  EXPECT_EQ(prompts.asked[1].text, "'abc' is not a valid integer value.");
  EXPECT_EQ(prompts.asked[1].icon, PromptIcon::Error);
}

// An exception thrown by an event handler reaches the installed handler and the
// event loop keeps running.
TEST(ApplicationException, ExceptionFromAnEventHandlerReachesTheHandler) {
  auto* application = static_cast<OxbelApplication*>(QApplication::instance());
  ScriptedPrompts prompts;
  application->setExceptionHandler([](std::exception_ptr e) { ShowApplicationException(e, nullptr); });
  bool laterEventRan = false;
  QTimer::singleShot(0, [] { throw EngineException("Cannot AddTask while working"); });
  QTimer::singleShot(5, [&] { laterEventRan = true; });
  for (int i = 0; i < 500 && !laterEventRan; ++i) {
    QApplication::processEvents();
    QThread::msleep(2);
  }
  application->setExceptionHandler({});

  ASSERT_EQ(prompts.asked.size(), 1);
  EXPECT_EQ(prompts.asked[0].text, "Cannot AddTask while working.");
  EXPECT_TRUE(laterEventRan);
}

}  // namespace
