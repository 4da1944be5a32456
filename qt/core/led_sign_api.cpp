// SPDX-License-Identifier: MIT
#include <glimmer/qt/led_sign_api.h>

#include "qt/core/sign_core.h"

namespace glimmer::qt {

using Property = LedSignProperties::Property;

QString LedSignApi::text() const {
  return core_->Read(Property::Text).toString();
}
void LedSignApi::setText(const QString& text) {
  core_->Write(Property::Text, text);
}

LedSignApi::Color LedSignApi::color() const {
  return core_->Read(Property::Color).value<Color>();
}
void LedSignApi::setColor(Color color) {
  core_->Write(Property::Color, static_cast<int>(color));
}

int LedSignApi::delay() const {
  return core_->Read(Property::Delay).toInt();
}
void LedSignApi::setDelay(int milliseconds) {
  core_->Write(Property::Delay, milliseconds);
}
void LedSignApi::setDelay(const QVariant& milliseconds) {
  core_->Write(Property::Delay, milliseconds);
}

bool LedSignApi::isRepeated() const {
  return core_->Read(Property::Repeated).toBool();
}
void LedSignApi::setRepeated(bool repeated) {
  core_->Write(Property::Repeated, repeated);
}

int LedSignApi::borderStyle() const {
  return core_->Read(Property::BorderStyle).toInt();
}
void LedSignApi::setBorderStyle(int style) {
  core_->Write(Property::BorderStyle, style);
}
void LedSignApi::setBorderStyle(const QVariant& style) {
  core_->Write(Property::BorderStyle, style);
}

LedSignApi::Glyphs LedSignApi::glyphs() const {
  return core_->Read(Property::Glyphs).value<Glyphs>();
}
void LedSignApi::setGlyphs(Glyphs glyphs) {
  core_->Write(Property::Glyphs, static_cast<int>(glyphs));
}

bool LedSignApi::isUpperCase() const {
  return core_->Read(Property::UpperCase).toBool();
}
void LedSignApi::setUpperCase(bool upper) {
  core_->Write(Property::UpperCase, upper);
}

bool LedSignApi::isScrolling() const {
  return core_->Scrolling();
}

bool LedSignApi::Start() {
  return core_->Start();
}
bool LedSignApi::Clear() {
  return core_->Clear();
}
bool LedSignApi::Advance() {
  return core_->Advance();
}

}  // namespace glimmer::qt
