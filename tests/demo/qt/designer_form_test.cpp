// SPDX-License-Identifier: MIT
// Forms made in Qt Designer in the demo (glimmer --form FILE.ui): built by QUiLoader, the command line's
// options on every sign, every sign started as the form loads and stopped for good when its window closes;
// files that are not forms. What a form may not hold is tried through the whole program
// (designer_form_e2e_test.py).
#include "demo/qt/designer_form.h"

#include <glimmer/qt/led_sign.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QWidget>

#include "demo/exit_status.h"
#include "tests/support/files.h"

namespace glimmer {
namespace {

using qt::LedSign;

QByteArray Board() {
  QFile file(GLIMMER_BOARD_UI);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  return file.readAll();
}

TEST(DesignerForm, LoadStartsEverySignAndClosingStopsThemForGood) {
  auto form = DesignerForm::Create(Board(), {});
  ASSERT_TRUE(form) << form.error().what;
  const QList<LedSign*> signs = (*form)->signs();
  ASSERT_EQ(signs.size(), 3);
  for (LedSign* sign : signs)
    EXPECT_FALSE(sign->isScrolling());
  ASSERT_TRUE((*form)->Load());
  for (LedSign* sign : signs) {
    EXPECT_TRUE(sign->isScrolling()) << sign->objectName().toStdString();
    EXPECT_TRUE(sign->advance());
  }
  EXPECT_TRUE((*form)->window()->close());
  EXPECT_TRUE((*form)->unload_status());
  for (LedSign* sign : signs) {
    EXPECT_FALSE(sign->isScrolling()) << sign->objectName().toStdString();
    EXPECT_FALSE(sign->advance());
  }
}

TEST(DesignerForm, TheCommandLinesOptionsReachEverySign) {
  auto form = DesignerForm::Create(
      Board(), {.text = u"HI", .color = 2, .delay = 20, .repeated = false, .border_style = 0});
  ASSERT_TRUE(form) << form.error().what;
  ASSERT_EQ((*form)->signs().size(), 3);
  for (LedSign* sign : (*form)->signs()) {
    SCOPED_TRACE(sign->objectName().toStdString());
    EXPECT_EQ(sign->text(), "HI");
    EXPECT_EQ(sign->color(), LedSign::Color::Yellow);
    EXPECT_EQ(sign->delay(), 20);
    EXPECT_FALSE(sign->isRepeated());
    EXPECT_EQ(sign->borderStyle(), 0);
  }
}

struct RefusalCase {
  std::string name;
  QByteArray ui;
  int status;
  std::string what;  // part of the reason
};
void PrintTo(const RefusalCase& c, std::ostream* os) {
  *os << c.name;
}

class Refusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, SaysWhyAndWithWhichStatus) {
  const RefusalCase& c = GetParam();
  const auto form = DesignerForm::Create(c.ui, {});
  ASSERT_FALSE(form);
  EXPECT_EQ(form.error().status, c.status);
  EXPECT_NE(form.error().what.find(c.what), std::string::npos) << form.error().what;
}

INSTANTIATE_TEST_SUITE_P(Cases, Refusal,
                         ::testing::Values(RefusalCase{"NotXml", "[FormGlimmer]\ncaption = \"Glimmer\"\n",
                                                       kExitUsage, ""},
                                           RefusalCase{"Empty", "", kExitUsage, ""},
                                           RefusalCase{"CutShort", Board().left(Board().size() / 2),
                                                       kExitUsage, "the XML breaks off at line"}),
                         testing::NameOf<RefusalCase>);

}  // namespace
}  // namespace glimmer
