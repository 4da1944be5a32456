// SPDX-License-Identifier: MIT
#include "qt/quick/led_sign_item.h"

#include <QtGui/qguiapplication.h>

#include <QAccessible>
#include <QImage>
#include <QPainter>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlProperty>
#include <QQuickWindow>
#include <QSGImageNode>
#include <QSGTexture>
#include <memory>

#include "control/geometry/led_design.h"
#include "control/interface/led_members.h"

namespace glimmer::qt {

LedSignItem::LedSignItem(QQuickItem* parent) : QQuickItem(parent), QtContainer(LED::Class(), Options{}) {
  setFlag(ItemHasContents);
  setAcceptedMouseButtons(Qt::LeftButton);
  CreateControl(LED::Class());
  // A new sign, as a new control is: the defaults, then sited at its design size, which the size rule snaps.
  (void)InitNew();
  (void)Site();
  binding_.emplace(*this);
  FollowSize();
}

LedSignItem::~LedSignItem() {
  // Nothing is told on the way out: the timers stop and the control goes while the item still stands.
  closing_ = true;
  binding_.reset();
  DestroyControl();
}

QString LedSignItem::text() const {
  return binding_->text();
}
void LedSignItem::setText(const QString& text) {
  (void)binding_->setText(text);
}

LedSignItem::Color LedSignItem::color() const {
  return binding_->color();
}
void LedSignItem::setColor(Color color) {
  (void)binding_->setColor(color);
}

int LedSignItem::delay() const {
  return binding_->delay();
}
void LedSignItem::setDelay(int milliseconds) {
  (void)binding_->setDelay(milliseconds);
}

bool LedSignItem::isRepeated() const {
  return binding_->repeated();
}
void LedSignItem::setRepeated(bool repeated) {
  (void)binding_->setRepeated(repeated);
}

int LedSignItem::borderStyle() const {
  return binding_->borderStyle();
}
void LedSignItem::setBorderStyle(int style) {
  (void)binding_->setBorderStyle(style);
}

bool LedSignItem::isScrolling() const {
  return binding_->scrolling();
}

bool LedSignItem::start() {
  return static_cast<bool>(binding_->start());
}
bool LedSignItem::clear() {
  return static_cast<bool>(binding_->clear());
}
bool LedSignItem::advance() {
  return FireTimer(kTimerLED);
}

// The control's notice of an accepted write, inside the write: a change signal when the value changed.
void LedSignItem::PropertyNoticed(std::string_view name) {
  if (!binding_ || closing_) return;
  const auto changed = binding_->Noticed(name);
  if (!changed) return;
  using Property = LedSignProperties::Property;
  switch (*changed) {
    case Property::Text:
      UpdateAccessibleName();
      emit textChanged(binding_->text());
      break;
    case Property::Color:
      emit colorChanged(binding_->color());
      break;
    case Property::Delay:
      emit delayChanged(binding_->delay());
      break;
    case Property::Repeated:
      emit repeatedChanged(binding_->repeated());
      break;
    case Property::BorderStyle:
      emit borderStyleChanged(binding_->borderStyle());
      break;
    case Property::Enabled:
      // The item's own enabled follows through EnabledChanged, and notifies as Qt Quick does.
      break;
  }
}

void LedSignItem::EventNoticed(DispId event) {
  if (closing_) return;
  if (event == kTerminateEvent) emit passFinished();
  if (event == kClickEvent) emit clicked();
  if (event == kDblClickEvent) emit doubleClicked();
}

void LedSignItem::TimerChanged(QtTimer& timer) {
  if (!closing_ && timer.name() == kTimerLED) emit scrollingChanged(timer.running());
}

// --- Pixels ---------------------------------------------------------------------------------------------

qreal LedSignItem::ratio() const {
  // Before the item is in a window, the screen it will most likely be shown on.
  if (window() != nullptr) return window()->effectiveDevicePixelRatio();
  return qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
}

bool LedSignItem::OnScreen() const {
  const QQuickWindow* w = window();
  return isVisible() && w != nullptr && w->isVisible() && w->visibility() != QWindow::Minimized;
}

// The control drew (inside a callback, or through Cls): a new texture is due, and asked for only when it
// could be seen; Reappear asks for it later.
void LedSignItem::FrameChanged() {
  stale_ = true;
  if (OnScreen()) update();
}

void LedSignItem::Reappear() {
  if (stale_ && OnScreen()) update();
}

void LedSignItem::CallbackDone(std::string_view /*callback*/, const Status& /*status*/) {
  FrameChanged();
}

void LedSignItem::ShapesChanged() {
  QtContainer::ShapesChanged();
  FrameChanged();
}

void LedSignItem::SizeChanged() {
  QtContainer::SizeChanged();
  FollowSize();
  FrameChanged();
}

QSGNode* LedSignItem::updatePaintNode(QSGNode* old, UpdatePaintNodeData* /*data*/) {
  const gdi::PixelView view = surface().pixels();
  QQuickWindow* w = window();
  if (!view || w == nullptr) {
    delete old;
    return nullptr;
  }
  auto* node = static_cast<QSGImageNode*>(old);
  if (node == nullptr) {
    node = w->createImageNode();
    node->setOwnsTexture(true);
    // Whole device pixels per control pixel, sampled nearest: nothing is interpolated.
    node->setFiltering(QSGTexture::Nearest);
  }
  if (stale_ || node->texture() == nullptr ||
      node->texture()->textureSize() != QSize(view.width, view.height)) {
    // The pixels with the rings drawn over them, as the container draws them for any Qt face.
    QImage frame(view.width, view.height, QImage::Format_RGB32);
    {
      QPainter painter(&frame);
      PaintFrame(painter, 1);
    }
    node->setTexture(w->createTextureFromImage(frame));
    ++paints_;
    stale_ = false;
  }
  // The control's pixels at PixelScale device pixels each, in logical pixels.
  const qreal factor = PixelScale(ratio()) / ratio();
  node->setRect(QRectF(0, 0, view.width * factor, view.height * factor));
  node->setSourceRect(QRectF(0, 0, view.width, view.height));
  return node;
}

// --- Size -----------------------------------------------------------------------------------------------

// The control's size (or the screen's ratio) changed: so does the implicit size. A width the item was given
// goes to the size rule again, as the control's pixels are now another number of logical pixels.
void LedSignItem::FollowSize() {
  const QSize size = LogicalSize(ratio());
  setImplicitSize(size.width(), size.height());
}

void LedSignItem::FitTo(QSizeF requested) {
  if (fitting_ || requested == QSizeF(LogicalSize(ratio()))) return;
  fitting_ = true;
  (void)ResizeLogical(requested, ratio());
  fitting_ = false;
  FollowSize();
}

void LedSignItem::geometryChange(const QRectF& new_geometry, const QRectF& old_geometry) {
  QQuickItem::geometryChange(new_geometry, old_geometry);
  // A size given to the item (rather than taken from the implicit size) goes to the control's size rule.
  if (new_geometry.size() != old_geometry.size() && (widthValid() || heightValid()))
    FitTo(new_geometry.size());
}

// --- Window, parent, visibility, enabled ----------------------------------------------------------------

void LedSignItem::itemChange(ItemChange change, const ItemChangeData& value) {
  QQuickItem::itemChange(change, value);
  switch (change) {
    case ItemSceneChange:
      FollowWindow(value.window);
      [[fallthrough]];
    case ItemDevicePixelRatioHasChanged:
      FollowSize();
      if (widthValid() || heightValid()) FitTo(size());
      stale_ = true;
      Reappear();
      break;
    case ItemVisibleHasChanged:
      Reappear();
      break;
    case ItemParentHasChanged:
      FollowParent(value.item);
      break;
    case ItemEnabledHasChanged:
      SyncEnabled();
      break;
    default:
      break;
  }
}

void LedSignItem::FollowWindow(QQuickWindow* window) {
  if (window == window_) return;
  if (window_) disconnect(window_, nullptr, this, nullptr);
  window_ = window;
  // Shown again, restored from minimised: the frame of now.
  if (window_) connect(window_, &QWindow::visibilityChanged, this, &LedSignItem::Reappear);
}

void LedSignItem::FollowParent(QQuickItem* parent) {
  if (parent == parent_) return;
  if (parent_) disconnect(parent_, &QQuickItem::enabledChanged, this, &LedSignItem::SyncEnabled);
  parent_ = parent;
  if (parent_) connect(parent_, &QQuickItem::enabledChanged, this, &LedSignItem::SyncEnabled);
  SyncEnabled();
}

// Qt Quick tells only whether an item is enabled in effect, its own setting and its parents' together. The
// control's Enabled is the item's own: it is read while the parent is enabled, and so again whenever the
// parent becomes enabled; a parent's state alone never changes the control.
void LedSignItem::SyncEnabled() {
  if (!binding_ || closing_) return;
  if (parentItem() != nullptr && !parentItem()->isEnabled()) return;
  if (isEnabled() != binding_->enabled()) (void)binding_->setEnabled(isEnabled());
}

// The control set Enabled (a write through the control, a restore): the item's own setting follows, also
// while a parent is disabled.
void LedSignItem::EnabledChanged(bool on) {
  if (!closing_) setEnabled(on);
}

// --- Mouse ----------------------------------------------------------------------------------------------

void LedSignItem::mousePressEvent(QMouseEvent* event) {
  clicks_.Press(event->button() == Qt::LeftButton);
  event->accept();
}

void LedSignItem::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (clicks_.Release(event->button() == Qt::LeftButton, contains(event->position()))) emit clicked();
}

void LedSignItem::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  if (clicks_.DoubleClick(event->button() == Qt::LeftButton)) emit doubleClicked();
}

// --- Accessibility --------------------------------------------------------------------------------------

void LedSignItem::componentComplete() {
  QQuickItem::componentComplete();
  AttachAccessible();
}

// The Accessible attached object belongs to QtQuick; its properties are reached by name, resolved with
// the imports of a scrap of QML of our own, so that the file the item is declared in need not import
// QtQuick itself.
void LedSignItem::AttachAccessible() {
  QQmlEngine* engine = qmlEngine(this);
  if (engine == nullptr || accessible_) return;
  QQmlComponent component(engine);
  component.setData("import QtQuick\nQtObject {}", QUrl());
  const std::unique_ptr<QObject> scope(component.create());
  if (!scope) return;
  const QQmlProperty name(this, QStringLiteral("Accessible.name"), qmlContext(scope.get()));
  if (!name.isValid()) return;
  accessible_ = name.object();
  accessible_->setProperty("role", static_cast<int>(QAccessible::StaticText));
  UpdateAccessibleName();
}

// The whole text is the name, unless the item's user has given it one of their own.
void LedSignItem::UpdateAccessibleName() {
  if (!accessible_) return;
  const QString current = accessible_->property("name").toString();
  if (current != accessible_name_ && !current.isEmpty()) return;
  accessible_name_ = text();
  accessible_->setProperty("name", accessible_name_);
}

}  // namespace glimmer::qt
