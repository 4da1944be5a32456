// SPDX-License-Identifier: MIT
// The Qt Designer plugin as users get it, installed into a prefix: loaded with QPluginLoader, what it tells
// Designer (name, group, include file, icon, the form XML of a new sign with the property editor's tool
// tips), how its signs behave inside Designer, and examples/board.ui, a form made in Designer, loaded
// through it by QUiLoader: three signs with the properties the file sets, drawing the headless frames.
#include <glimmer/qt/led_sign.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDomDocument>
#include <QFile>
#include <QPluginLoader>
#include <QUiLoader>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <map>
#include <memory>
#include <set>

#include "control/led.h"
#include "host/headless/headless_container.h"
#include "qt/widget/led_sign_p.h"
#include "tests/support/reference_frame.h"

namespace glimmer {
namespace {

using qt::LedSign;

const QString kPluginDir = QStringLiteral(GLIMMER_DESIGNER_PLUGIN_DIR);

QDesignerCustomWidgetInterface* Plugin() {
  static QPluginLoader loader(kPluginDir + "/libglimmer_designer.so");
  auto* plugin = qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
  EXPECT_NE(plugin, nullptr) << loader.errorString().toStdString();
  return plugin;
}

// The child elements of `parent` with the tag `tag`.
QList<QDomElement> Children(const QDomNode& parent, const QString& tag) {
  QList<QDomElement> found;
  for (QDomElement e = parent.firstChildElement(tag); !e.isNull(); e = e.nextSiblingElement(tag))
    found.append(e);
  return found;
}

TEST(DesignerPlugin, DescribesTheSignToDesigner) {
  QDesignerCustomWidgetInterface* plugin = Plugin();
  ASSERT_NE(plugin, nullptr);
  EXPECT_EQ(plugin->name(), "glimmer::qt::LedSign");
  EXPECT_EQ(plugin->group(), "Glimmer");
  EXPECT_EQ(plugin->includeFile(), "<glimmer/qt/led_sign.h>");
  EXPECT_FALSE(plugin->isContainer());
  EXPECT_FALSE(plugin->toolTip().isEmpty());
  EXPECT_FALSE(plugin->whatsThis().isEmpty());
  // The plugin's sign is the program's: one LedSign class, one meta-object.
  const std::unique_ptr<QWidget> widget(plugin->createWidget(nullptr));
  EXPECT_NE(qobject_cast<LedSign*>(widget.get()), nullptr);

  // The form XML: a new sign's size and nothing else, so that every property starts as a new sign has it;
  // the descriptions as the eight properties' tool tips (the glyph choices' own beside the control's); the
  // text on one line.
  QDomDocument xml;
  QString error;
  ASSERT_TRUE(xml.setContent(plugin->domXml(), &error)) << error.toStdString();
  const QDomElement widget_xml = xml.documentElement().firstChildElement("widget");
  EXPECT_EQ(widget_xml.attribute("class"), plugin->name());
  const QList<QDomElement> set = Children(widget_xml, "property");
  ASSERT_EQ(set.size(), 1);
  EXPECT_EQ(set[0].attribute("name"), "geometry");
  const QDomElement rect = set[0].firstChildElement("rect");
  const QSize size(rect.firstChildElement("width").text().toInt(),
                   rect.firstChildElement("height").text().toInt());
  EXPECT_EQ(size, LedSign().size());
  EXPECT_EQ(size, QSize(161, 32));
  const QDomNode specifications = xml.elementsByTagName("propertyspecifications").item(0);
  std::map<QString, QString> tooltips;
  for (const QDomElement& tooltip : Children(specifications, "tooltip"))
    tooltips[tooltip.attribute("name")] = tooltip.text();
  ASSERT_EQ(tooltips.size(), 8u);
  for (int i = 0; i < qt::LedSignProperties::kPropertyCount; ++i) {
    const char* name = qt::LedSignProperties::qtName(static_cast<qt::LedSignProperties::Property>(i));
    EXPECT_EQ(tooltips[name], LedSign::description(name)) << name;
    EXPECT_FALSE(tooltips[name].isEmpty()) << name;
  }
  const QDomElement text = specifications.firstChildElement("stringpropertyspecification");
  EXPECT_EQ(text.attribute("name") + " " + text.attribute("type"), "text singleline");
}

TEST(DesignerPlugin, ItsIconIsAFrameOfTheSign) {
  QDesignerCustomWidgetInterface* plugin = Plugin();
  ASSERT_NE(plugin, nullptr);
  const QImage icon = plugin->icon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(icon.size(), QSize(32, 32));
  Image frame(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      frame.at(x, y) = icon.pixel(x, y);
  // A green "G" in the middle of the nine dot columns: eight steps after the start.
  EXPECT_EQ(
      testing::FirstDifference(
          frame, testing::ExpectedFrame({.width = 32, .text = u"G", .color = 1, .scroll_x = 32 - 4 - 3 * 8})),
      "");
}

// Outside Designer (QUiLoader, a program) the plugin's signs are plain new signs; inside, they start once
// the form is built and start again from the right edge after every edit.
TEST(DesignerPlugin, SignsScrollOnlyInsideDesigner) {
  QDesignerCustomWidgetInterface* plugin = Plugin();
  ASSERT_NE(plugin, nullptr);
  ASSERT_FALSE(plugin->isInitialized());
  std::unique_ptr<QWidget> outside(plugin->createWidget(nullptr));
  QCoreApplication::processEvents();
  EXPECT_FALSE(qobject_cast<LedSign*>(outside.get())->isScrolling());

  QDesignerFormEditorInterface designer;
  plugin->initialize(&designer);
  ASSERT_TRUE(plugin->isInitialized());
  const std::unique_ptr<QWidget> widget(plugin->createWidget(nullptr));
  auto* sign = qobject_cast<LedSign*>(widget.get());
  sign->setText("AB");  // as a form sets its properties, before the sign shows
  EXPECT_FALSE(sign->isScrolling());
  QCoreApplication::processEvents();
  ASSERT_TRUE(sign->isScrolling());
  for (int i = 0; i < 30; ++i)
    ASSERT_TRUE(sign->advance());

  sign->setColor(LedSign::Color::Yellow);  // an edit in the property editor
  QCoreApplication::processEvents();
  ASSERT_TRUE(sign->advance());
  EXPECT_EQ(testing::FirstDifference(
                qt::LedSignPrivate::Core(*sign).Frame(),
                testing::ExpectedFrame({.width = 161, .text = u"AB", .color = 2, .scroll_x = 161 - 4 - 3})),
            "");
  EXPECT_FALSE(qobject_cast<LedSign*>(outside.get())->isScrolling());
}

// Every property the file sets on a sign, as text (an enum by its key, a size as "W x H").
std::map<QString, std::map<QString, QString>> SignsInBoard() {
  QFile file(GLIMMER_BOARD_UI);
  QDomDocument xml;
  EXPECT_TRUE(file.open(QIODevice::ReadOnly) && xml.setContent(&file));
  std::map<QString, std::map<QString, QString>> signs;
  const QDomNodeList widgets = xml.elementsByTagName("widget");
  for (int i = 0; i < widgets.size(); ++i) {
    const QDomElement widget = widgets.item(i).toElement();
    if (widget.attribute("class") != "glimmer::qt::LedSign") continue;
    auto& set = signs[widget.attribute("name")];
    for (const QDomElement& property : Children(widget, "property")) {
      const QDomElement value = property.firstChildElement();
      QString text = value.text().section("::", -1);
      if (value.tagName() == "size")
        text = value.firstChildElement("width").text() + " x " + value.firstChildElement("height").text();
      set[property.attribute("name")] = text;
    }
  }
  return signs;
}

QString AsText(const QVariant& value) {
  if (value.metaType() != QMetaType::fromType<QSize>()) return value.toString();
  return QString("%1 x %2").arg(value.toSize().width()).arg(value.toSize().height());
}

TEST(DesignerPluginForm, TheBoardLoadsThroughThePluginWithTheFilesPropertiesAndTheHeadlessFrames) {
  QUiLoader loader;
  loader.clearPluginPaths();
  loader.addPluginPath(kPluginDir);
  QFile file(GLIMMER_BOARD_UI);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const std::unique_ptr<QWidget> board(loader.load(&file));
  ASSERT_NE(board, nullptr) << loader.errorString().toStdString();

  const auto in_file = SignsInBoard();
  const QList<LedSign*> signs = board->findChildren<LedSign*>();
  ASSERT_EQ(signs.size(), 3);
  ASSERT_EQ(in_file.size(), 3u);
  std::set<int> colours;
  std::set<QString> texts;
  for (LedSign* sign : signs) {
    SCOPED_TRACE(sign->objectName().toStdString());
    ASSERT_TRUE(in_file.contains(sign->objectName()));
    const auto& set = in_file.at(sign->objectName());
    EXPECT_GE(set.size(), 3u);
    for (const auto& [name, value] : set)
      EXPECT_EQ(AsText(sign->property(name.toLatin1())), value) << name.toStdString();
    colours.insert(sign->color());
    texts.insert(sign->text());

    // A headless sign of the same width with the same properties draws the same frames, over a whole pass
    // (n + 6L steps on a sign 3n + 2 pixels wide) and into the next.
    HeadlessContainer headless(LED::Class());
    ASSERT_TRUE(headless.InitNew());
    ASSERT_TRUE(headless.Resize(sign->width(), 32));
    LED& led = headless.control_as<LED>();
    ASSERT_TRUE(led.Value(sign->text().toStdU16String()));
    ASSERT_TRUE(led.Color(sign->color()));
    ASSERT_TRUE(led.Delay(static_cast<std::int16_t>(sign->delay())));
    ASSERT_TRUE(led.Repeated(Boolean(sign->isRepeated())));
    ASSERT_TRUE(led.BorderStyle(sign->borderStyle()));
    ASSERT_TRUE(led.Show());
    ASSERT_TRUE(sign->start());
    const auto steps = headless.width_pixels() / 3 + 6 * sign->text().size() + 10;
    for (int step = 1; step <= steps; ++step) {
      ASSERT_TRUE(sign->advance());
      ASSERT_EQ(headless.RunTicks(1), 1);
      ASSERT_EQ(testing::FirstDifference(qt::LedSignPrivate::Core(*sign).Frame(), headless.Frame()), "")
          << "step " << step;
    }
  }
  EXPECT_EQ(colours.size(), 3u);
  EXPECT_EQ(texts.size(), 3u);
}

}  // namespace
}  // namespace glimmer
