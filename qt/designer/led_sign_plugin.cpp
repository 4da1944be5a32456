// SPDX-License-Identifier: MIT
#include "qt/designer/led_sign_plugin.h"

#include <glimmer/qt/led_sign.h>

#include <QXmlStreamWriter>

#include "qt/designer/designer_session.h"
#include "qt/designer/sign_icon.h"

namespace glimmer::qt {
namespace {

using Property = LedSignProperties::Property;

// The form's XML of a sign as Designer places it: the size of a new sign and nothing else, so that every
// property starts as a new sign has it (and Designer saves only what the user changes). Then, for the
// property editor, each property's description as its tool tip, and the text as one line.
QString DomXml(QSize size) {
  QString xml;
  QXmlStreamWriter out(&xml);
  out.writeStartElement("ui");
  out.writeAttribute("language", "c++");
  out.writeAttribute("displayname", "LED Sign");
  out.writeStartElement("widget");
  out.writeAttribute("class", LedSign::staticMetaObject.className());
  out.writeAttribute("name", "ledSign");
  out.writeStartElement("property");
  out.writeAttribute("name", "geometry");
  out.writeStartElement("rect");
  out.writeTextElement("x", "0");
  out.writeTextElement("y", "0");
  out.writeTextElement("width", QString::number(size.width()));
  out.writeTextElement("height", QString::number(size.height()));
  out.writeEndElement();  // rect
  out.writeEndElement();  // property
  out.writeEndElement();  // widget

  out.writeStartElement("customwidgets");
  out.writeStartElement("customwidget");
  out.writeTextElement("class", LedSign::staticMetaObject.className());
  out.writeStartElement("propertyspecifications");
  for (int i = 0; i < LedSignProperties::kPropertyCount; ++i) {
    const char* name = LedSignProperties::qtName(static_cast<Property>(i));
    out.writeStartElement("tooltip");
    out.writeAttribute("name", name);
    out.writeCharacters(LedSign::description(name));
    out.writeEndElement();
  }
  out.writeStartElement("stringpropertyspecification");
  out.writeAttribute("name", LedSignProperties::qtName(Property::Text));
  out.writeAttribute("type", "singleline");
  out.writeEndElement();
  out.writeEndElement();  // propertyspecifications
  out.writeEndElement();  // customwidget
  out.writeEndElement();  // customwidgets
  out.writeEndElement();  // ui
  return xml;
}

}  // namespace

LedSignPlugin::LedSignPlugin(QObject* parent) : QObject(parent) {}

QString LedSignPlugin::name() const {
  return LedSign::staticMetaObject.className();
}

QString LedSignPlugin::group() const {
  return QStringLiteral("Glimmer");
}

QString LedSignPlugin::toolTip() const {
  return QStringLiteral("A dot-matrix LED sign that scrolls its text");
}

QString LedSignPlugin::whatsThis() const {
  return QStringLiteral(
      "A dot-matrix LED sign: nine rows of dots inside a grey and a white ring, across which the text "
      "scrolls from right to left, one dot column per step, in red, green or yellow. It shows the digits, "
      "the capital letters, '-', ':' and the space. start() starts the text, clear() stops it, and "
      "passFinished() comes at the end of every pass.");
}

QString LedSignPlugin::includeFile() const {
  // Angle brackets: uic writes #include <glimmer/qt/led_sign.h>, as the installed header is named.
  return QStringLiteral("<glimmer/qt/led_sign.h>");
}

QIcon LedSignPlugin::icon() const {
  return SignIcon();
}

bool LedSignPlugin::isContainer() const {
  return false;
}

QString LedSignPlugin::domXml() const {
  const LedSign sign;
  return DomXml(sign.size());
}

QWidget* LedSignPlugin::createWidget(QWidget* parent) {
  auto* sign = new LedSign(parent);
  if (core_ != nullptr) ShowInDesigner(sign);
  return sign;
}

bool LedSignPlugin::isInitialized() const {
  return core_ != nullptr;
}

void LedSignPlugin::initialize(QDesignerFormEditorInterface* core) {
  if (core_ != nullptr || core == nullptr) return;
  core_ = core;
  GroupPropertiesByCategory(core);
}

}  // namespace glimmer::qt
