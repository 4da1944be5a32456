// The Qt Designer plugin as users get it, installed into a prefix: loaded with QPluginLoader, what it tells
// Designer (name, group, include file, icon, the form XML of a new sign with the property editor's tool
// tips), how its signs behave inside Designer, and examples/board.ui, a form made in Designer, loaded
// through it by QUiLoader: three signs with the properties the file sets, drawing the headless frames.
#include <glimmer/qt/led_sign.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QUiLoader>
#include <QXmlStreamReader>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "control/led.h"
#include "host/headless/headless_container.h"
#include "host/qt/control_widget.h"
#include "tests/support/reference_frame.h"

namespace glimmer {
namespace {

using qt::LedSign;
using Property = qt::LedSignProperties::Property;

const QString kPluginDir = QStringLiteral(GLIMMER_DESIGNER_PLUGIN_DIR);

QDesignerCustomWidgetInterface* Plugin() {
  static QPluginLoader loader(kPluginDir + "/libglimmer_designer.so");
  auto* plugin = qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
  EXPECT_NE(plugin, nullptr) << loader.errorString().toStdString();
  return plugin;
}

// The elements of a piece of XML that matter here, with their attributes and text.
struct Element {
  QString path;  // the names from the root down, joined by '/'
  QXmlStreamAttributes attributes;
  QString text;
};
std::vector<Element> Elements(const QString& xml, QString* error) {
  std::vector<Element> found;
  QXmlStreamReader reader(xml);
  QStringList path;
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement()) {
      path.append(reader.name().toString());
      found.push_back({path.join('/'), reader.attributes(), {}});
    } else if (reader.isCharacters() && !reader.isWhitespace()) {
      found.back().text += reader.text();
    } else if (reader.isEndElement()) {
      path.removeLast();
    }
  }
  *error = reader.hasError() ? reader.errorString() : QString();
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
  EXPECT_TRUE(plugin->whatsThis().startsWith(plugin->toolTip().left(12)));
  // The plugin's sign is the program's: one LedSign class, one meta-object.
  const std::unique_ptr<QWidget> widget(plugin->createWidget(nullptr));
  EXPECT_NE(qobject_cast<LedSign*>(widget.get()), nullptr);
}

TEST(DesignerPlugin, PlacesANewSignWithTheControlsDescriptionsAsToolTips) {
  QDesignerCustomWidgetInterface* plugin = Plugin();
  ASSERT_NE(plugin, nullptr);
  QString error;
  const std::vector<Element> xml = Elements(plugin->domXml(), &error);
  ASSERT_EQ(error, "") << plugin->domXml().toStdString();
  std::map<QString, QString> tooltips;
  std::vector<QString> widget_properties;
  QString widget_class, text_type;
  QSize size;
  for (const Element& e : xml) {
    if (e.path == "ui/widget") widget_class = e.attributes.value("class").toString();
    if (e.path == "ui/widget/property") widget_properties.push_back(e.attributes.value("name").toString());
    if (e.path == "ui/widget/property/rect/width") size.setWidth(e.text.toInt());
    if (e.path == "ui/widget/property/rect/height") size.setHeight(e.text.toInt());
    if (e.path == "ui/customwidgets/customwidget/propertyspecifications/tooltip")
      tooltips[e.attributes.value("name").toString()] = e.text;
    if (e.path == "ui/customwidgets/customwidget/propertyspecifications/stringpropertyspecification" &&
        e.attributes.value("name") == QStringLiteral("text"))
      text_type = e.attributes.value("type").toString();
  }
  EXPECT_EQ(widget_class, plugin->name());
  // Only the size, and that of a new sign: every property starts as a new sign has it.
  EXPECT_EQ(widget_properties, std::vector<QString>{"geometry"});
  EXPECT_EQ(size, LedSign().size());
  EXPECT_EQ(size, QSize(161, 32));
  ASSERT_EQ(tooltips.size(), 6u);
  for (int i = 0; i < qt::LedSignProperties::kPropertyCount; ++i) {
    const char* name = qt::LedSignProperties::qtName(static_cast<Property>(i));
    EXPECT_EQ(tooltips[name], LedSign::description(name)) << name;
    EXPECT_FALSE(tooltips[name].isEmpty()) << name;
  }
  EXPECT_EQ(text_type, "singleline");
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
                sign->container().Frame(),
                testing::ExpectedFrame({.width = 161, .text = u"AB", .color = 2, .scroll_x = 161 - 4 - 3})),
            "");
  // Signs made outside Designer before stay as they were.
  QCoreApplication::processEvents();
  EXPECT_FALSE(qobject_cast<LedSign*>(outside.get())->isScrolling());
}

// What the file sets for one sign: each property as text (an enum by its key, a size as "W x H"), and the
// settings a headless sign needs, where the file leaves them as a new sign has them.
struct SignInFile {
  std::map<QString, QString> set;
  QString text;
  int color = 0;
  int delay = 50;
  bool repeated = false;
  int border_style = 1;
  int width = 161;
};

std::map<QString, SignInFile> SignsInFile() {
  QFile file(GLIMMER_BOARD_UI);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  QString error;
  const std::vector<Element> xml = Elements(QString::fromUtf8(file.readAll()), &error);
  EXPECT_EQ(error, "");
  std::map<QString, SignInFile> signs;
  SignInFile* sign = nullptr;
  QString property, value;
  for (const Element& e : xml) {
    if (e.path.endsWith("/widget")) {
      const bool is_sign = e.attributes.value("class") == QStringLiteral("glimmer::qt::LedSign");
      sign = is_sign ? &signs[e.attributes.value("name").toString()] : nullptr;
    } else if (sign != nullptr && e.path.endsWith("widget/property")) {
      property = e.attributes.value("name").toString();
    } else if (sign != nullptr && e.path.contains("widget/property/")) {
      const QString type = e.path.section('/', -1);
      if (type == "width")
        value = e.text + " x ";
      else if (type == "height")
        value += e.text;
      else if (type == "enum")
        value = e.text.section("::", -1);
      else if (type != "size")
        value = e.text;
      sign->set[property] = value;
    }
  }
  const QMetaEnum colors = QMetaEnum::fromType<qt::LedSignProperties::Color>();
  for (auto& [name, s] : signs) {
    for (const auto& [key, text] : s.set) {
      if (key == "text") s.text = text;
      if (key == "color") s.color = colors.keyToValue(text.toLatin1());
      if (key == "delay") s.delay = text.toInt();
      if (key == "repeated") s.repeated = text == "true";
      if (key == "borderStyle") s.border_style = text.toInt();
      if (key == "minimumSize") s.width = text.section(' ', 0, 0).toInt();
    }
  }
  return signs;
}

QString AsText(const QVariant& value) {
  if (value.metaType() == QMetaType::fromType<QSize>())
    return QString("%1 x %2").arg(value.toSize().width()).arg(value.toSize().height());
  return value.toString();
}

std::unique_ptr<QWidget> LoadBoard() {
  QUiLoader loader;
  loader.clearPluginPaths();
  loader.addPluginPath(kPluginDir);
  EXPECT_TRUE(loader.availableWidgets().contains("glimmer::qt::LedSign"));
  QFile file(GLIMMER_BOARD_UI);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  std::unique_ptr<QWidget> board(loader.load(&file));
  EXPECT_NE(board, nullptr) << loader.errorString().toStdString();
  return board;
}

TEST(DesignerForm, TheBoardLoadsThroughThePluginWithTheFilesProperties) {
  const std::map<QString, SignInFile> expected = SignsInFile();
  const std::unique_ptr<QWidget> board = LoadBoard();
  ASSERT_NE(board, nullptr);
  const QList<LedSign*> signs = board->findChildren<LedSign*>();
  ASSERT_EQ(signs.size(), 3);
  ASSERT_EQ(expected.size(), 3u);
  std::set<int> colours;
  std::set<QString> texts;
  for (LedSign* sign : signs) {
    SCOPED_TRACE(sign->objectName().toStdString());
    ASSERT_TRUE(expected.contains(sign->objectName()));
    const SignInFile& in_file = expected.at(sign->objectName());
    colours.insert(static_cast<int>(sign->color()));
    texts.insert(sign->text());
    EXPECT_GE(in_file.set.size(), 3u);
    for (const auto& [name, value] : in_file.set)
      EXPECT_EQ(AsText(sign->property(name.toLatin1())), value) << name.toStdString();
  }
  EXPECT_EQ(colours.size(), 3u);
  EXPECT_EQ(texts.size(), 3u);
}

TEST(DesignerForm, TheBoardsSignsDrawTheHeadlessFrames) {
  const std::map<QString, SignInFile> expected = SignsInFile();
  const std::unique_ptr<QWidget> board = LoadBoard();
  ASSERT_NE(board, nullptr);
  for (LedSign* sign : board->findChildren<LedSign*>()) {
    SCOPED_TRACE(sign->objectName().toStdString());
    const SignInFile& s = expected.at(sign->objectName());
    HeadlessContainer headless(LED::Class());
    ASSERT_TRUE(headless.InitNew());
    ASSERT_TRUE(headless.Resize(s.width, 32));
    LED& led = headless.control_as<LED>();
    ASSERT_TRUE(led.Value(s.text.toStdU16String()));
    ASSERT_TRUE(led.Color(s.color));
    ASSERT_TRUE(led.Delay(static_cast<std::int16_t>(s.delay)));
    ASSERT_TRUE(led.Repeated(Boolean(s.repeated)));
    ASSERT_TRUE(led.BorderStyle(s.border_style));
    ASSERT_TRUE(led.Show());
    ASSERT_TRUE(sign->start());
    EXPECT_EQ(sign->width(), headless.width_pixels());
    // A whole pass of each text and the start of the next: n + 6L steps on a sign 3n + 2 pixels wide.
    const int steps =
        static_cast<int>(headless.width_pixels()) / 3 + 6 * static_cast<int>(s.text.size()) + 10;
    for (int step = 1; step <= steps; ++step) {
      ASSERT_TRUE(sign->advance());
      ASSERT_EQ(headless.RunTicks(1), 1);
      ASSERT_EQ(testing::FirstDifference(sign->container().Frame(), headless.Frame()), "") << "step " << step;
    }
  }
}

}  // namespace
}  // namespace glimmer
