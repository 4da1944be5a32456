// SPDX-License-Identifier: MIT
#include "demo/qt/designer_form_check.h"

#include <glimmer/qt/led_sign.h>

#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <vector>

namespace glimmer {
namespace {

using Refused = Unexpected<std::string>;

// Qt's widgets that show and edit values and hold other widgets, and nothing more: no QQuickWidget (QML),
// no web view or ActiveX control, no QTextBrowser (its source is a file or URL), no OpenGL widget.
const QSet<QString>& PlainWidgets() {
  static const QSet<QString> kWidgets = [] {
    const QStringList names =
        QString(
            "QWidget QDialog QMainWindow QFrame Line QLabel QPushButton QToolButton "
            "QCommandLinkButton QCheckBox QRadioButton QGroupBox QLineEdit QSpinBox "
            "QDoubleSpinBox QSlider QScrollBar QDial QProgressBar QComboBox QFontComboBox "
            "QDateEdit QTimeEdit QDateTimeEdit QCalendarWidget QKeySequenceEdit QLCDNumber "
            "QTabWidget QStackedWidget QToolBox QScrollArea QSplitter QMdiArea QMenuBar "
            "QMenu QStatusBar QToolBar QDockWidget QPlainTextEdit QTextEdit QListWidget "
            "QTreeWidget QTableWidget QListView QTreeView QTableView QColumnView QUndoView "
            "QDialogButtonBox")
            .split(' ');
    return QSet<QString>(names.begin(), names.end());
  }();
  return kWidgets;
}

const QSet<QString>& Layouts() {
  static const QSet<QString> kLayouts{"QGridLayout", "QHBoxLayout", "QVBoxLayout", "QFormLayout"};
  return kLayouts;
}

QString SignClass() {
  return qt::LedSign::staticMetaObject.className();
}

bool WidgetAllowed(const QString& name) {
  return PlainWidgets().contains(name) || name == SignClass();
}

// Elements whose whole purpose is to name something outside the form: an image file or resource, a URL
// (a QQuickWidget's source, a QTextBrowser's), a script, a brush's texture.
const QSet<QString>& OutsideReferences() {
  static const QSet<QString> kElements{"pixmap", "iconset", "url", "image", "images", "script", "texture"};
  return kElements;
}

// What Qt's rich text and style sheets load from elsewhere: <img src>, <link href>, a background image, a
// url(...) and an @import; and Markdown (a label's text format, a text edit's property), whose images are
// loaded as rich text's are. Looked for in the text without case, spaces or backslashes, so that no spelling
// the parsers accept slips through; a CSS escape that could spell a function name is refused too.
std::optional<QString> LoadingReference(const QString& text) {
  static const QStringList kNeedles{"url(", "@import", "<img",        "<link",
                                    "src=", "href=",   "background=", "markdown"};
  QString plain = text.toLower();
  plain.remove(QRegularExpression(R"([\s\\])"));
  for (const QString& needle : kNeedles)
    if (plain.contains(needle)) return needle;
  static const QRegularExpression kEscape(R"(\\[0-9a-fA-F])");
  if (text.contains('(') && text.contains(kEscape)) return QString("a CSS escape");
  return std::nullopt;
}

std::string Plain(const QString& text) {
  return text.toStdString();
}

// One pass over the form's XML, with the names of the open elements and the text each holds so far.
class FormReader {
 public:
  explicit FormReader(const QByteArray& ui) : xml_(ui) {}

  Expected<void, std::string> Check() {
    while (!xml_.atEnd()) {
      const QXmlStreamReader::TokenType token = xml_.readNext();
      std::optional<std::string> refused;
      if (token == QXmlStreamReader::DTD || token == QXmlStreamReader::EntityReference)
        refused = "it declares or uses XML entities, which a form made in Designer never does" + At();
      if (token == QXmlStreamReader::StartElement) refused = Open();
      if (token == QXmlStreamReader::Characters && !texts_.empty()) texts_.back() += xml_.text();
      if (token == QXmlStreamReader::EndElement) refused = Close();
      if (refused) return Refused(*refused);
    }
    if (xml_.hasError())
      return Refused("it is not a Qt Designer form: the XML breaks off at line " +
                     std::to_string(xml_.lineNumber()) + ", column " + std::to_string(xml_.columnNumber()) +
                     ": " + Plain(xml_.errorString()));
    return {};
  }

 private:
  std::string At() const { return " (line " + std::to_string(xml_.lineNumber()) + ")"; }

  std::optional<std::string> Open() {
    const QString name = xml_.name().toString();
    if (names_.empty() && name != "ui") return "it is not a Qt Designer form: its first element is not <ui>";
    if (names_.size() >= kMaxFormElementDepth)
      return "its elements nest more than " + std::to_string(kMaxFormElementDepth) + " deep" + At();
    const QString parent = names_.empty() ? QString() : names_.back();
    names_.push_back(name);
    texts_.emplace_back();
    const QString class_name = xml_.attributes().value("class").toString();
    if (name == "widget" || name == "layout") {
      if (++nesting_ > kMaxFormNesting)
        return "its widgets and layouts nest more than " + std::to_string(kMaxFormNesting) + " deep" + At();
      if (name == "widget" && !WidgetAllowed(class_name))
        return "the widget class " + Plain(class_name) + " is not one that a form may hold" + At();
      if (name == "layout" && !Layouts().contains(class_name))
        return "the layout class " + Plain(class_name) + " is not one that a form may hold" + At();
    }
    if (OutsideReferences().contains(name))
      return "<" + Plain(name) + "> names a file, resource or URL outside the form" + At();
    if (name == "include" && parent == "resources") return "it includes a resource file" + At();
    for (const QXmlStreamAttribute& attribute : xml_.attributes())
      if (const auto found = LoadingReference(attribute.value().toString()))
        return "an attribute refers to something outside the form (" + Plain(*found) + ")" + At();
    return std::nullopt;
  }

  std::optional<std::string> Close() {
    const QString name = names_.back();
    const QString text = texts_.back();
    names_.pop_back();
    texts_.pop_back();
    if (name == "widget" || name == "layout") --nesting_;
    if (const auto found = LoadingReference(text))
      return "a text refers to something outside the form (" + Plain(*found) + ")" + At();
    // Custom widgets: only the sign, and only as a kind of one of the plain widgets.
    const QString parent = names_.empty() ? QString() : names_.back();
    if (parent == "customwidget" && name == "class" && text.trimmed() != SignClass())
      return "the custom widget " + Plain(text.trimmed()) + " is not one that a form may hold" + At();
    if (parent == "customwidget" && name == "extends" && !PlainWidgets().contains(text.trimmed()))
      return "a custom widget extends " + Plain(text.trimmed()) + ", not one of the plain widgets" + At();
    return std::nullopt;
  }

  QXmlStreamReader xml_;
  std::vector<QString> names_;
  std::vector<QString> texts_;
  int nesting_ = 0;
};

}  // namespace

Expected<void, std::string> CheckDesignerForm(const QByteArray& ui) {
  return FormReader(ui).Check();
}

}  // namespace glimmer
