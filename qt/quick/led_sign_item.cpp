// SPDX-License-Identifier: MIT
#include "qt/quick/led_sign_item.h"

#include <QtGui/qguiapplication.h>

#include <QAccessible>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPalette>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlProperty>
#include <QQuickWindow>
#include <QSGImageNode>
#include <QSGRendererInterface>
#include <QSGTexture>
#include <QThread>
#include <memory>
#include <optional>

#include "qt/core/sign_core.h"
#include "qt/quick/sign_paint_node.h"

namespace glimmer::qt {

LedSignItem::LedSignItem(QQuickItem* parent) : QQuickItem(parent) {
  setFlag(ItemHasContents);
  setAcceptedMouseButtons(Qt::LeftButton);
  // Nothing beyond the item: a sign wider than a narrow item is cut at its edge, as a widget's is.
  setClip(true);
  core_ = new SignCore(*this);
  setImplicitSize(core_->NaturalSize().width(), core_->NaturalSize().height());
}

LedSignItem::~LedSignItem() {
  // Inside one of the item's own handlers, the core outlives the item until that handler's caller returns.
  SignCore::Dispose(core_);
  core_ = nullptr;
}

// --- Pixels ---------------------------------------------------------------------------------------------

QSizeF LedSignItem::GivenSize() const {
  return size();
}

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

// Qt Quick's software renderer on the item's own thread (its default, basic render loop) takes a node that
// paints the sign as the widget paints itself, from the control's pixels at the moment of rendering, which
// no tick can change before the frame is done. Any other renderer, or one on a thread of its own, gets the
// pixels of the moment as a texture.
QSGNode* LedSignItem::updatePaintNode(QSGNode* old, UpdatePaintNodeData* /*data*/) {
  QQuickWindow* w = window();
  if (core_->Size().isEmpty() || w == nullptr) {
    delete old;
    return nullptr;
  }
  const bool live = w->rendererInterface()->graphicsApi() == QSGRendererInterface::Software &&
                    QThread::currentThread() == thread();
  if (old != nullptr && (old->type() == QSGNode::RenderNodeType) != live) {
    delete old;
    old = nullptr;
  }
  if (live) {
    auto* node = static_cast<SignPaintNode*>(old);
    if (node == nullptr) node = new SignPaintNode(w, this, [this](QPainter& painter) { PaintSign(painter); });
    node->SetArea(QSizeF(core_->Size()).boundedTo(size()));
    node->markDirty(QSGNode::DirtyMaterial);
    ++paints_;
    stale_ = false;
    return node;
  }
  auto* node = static_cast<QSGImageNode*>(old);
  if (node == nullptr) {
    node = w->createImageNode();
    node->setOwnsTexture(true);
    // Whole device pixels per pixel of the image: nothing is interpolated.
    node->setFiltering(QSGTexture::Nearest);
  }
  if (stale_ || node->texture() == nullptr) {
    const QImage frame = core_->FaceImage(ratio(), DimmedOver(), hasActiveFocus());
    node->setTexture(w->createTextureFromImage(frame));
    node->setRect(QRectF(QPointF(0, 0), frame.deviceIndependentSize()));
    node->setSourceRect(QRectF(QPointF(0, 0), frame.size()));
    ++paints_;
    stale_ = false;
  }
  return node;
}

// The pixels every face draws at this ratio; disabled, in effect, over the application's background (an
// item has no palette of its own), as the widget over its palette's.
std::optional<QColor> LedSignItem::DimmedOver() const {
  if (isEnabled()) return std::nullopt;
  return QGuiApplication::palette().color(QPalette::Disabled, QPalette::Window);
}

void LedSignItem::PaintSign(QPainter& painter) {
  core_->Paint(painter, ratio(), DimmedOver(), hasActiveFocus());
}

// --- Size -----------------------------------------------------------------------------------------------

// The sign took another width within the item's: the item keeps its size and implicit size.
void LedSignItem::SizeChanged(QSize /*logical*/) {
  FrameChanged();
}

void LedSignItem::geometryChange(const QRectF& new_geometry, const QRectF& old_geometry) {
  QQuickItem::geometryChange(new_geometry, old_geometry);
  if (new_geometry.size() != old_geometry.size()) core_->FitTo(new_geometry.size());
}

// --- Window, parent, visibility, enabled ----------------------------------------------------------------

void LedSignItem::itemChange(ItemChange change, const ItemChangeData& value) {
  QQuickItem::itemChange(change, value);
  switch (change) {
    case ItemSceneChange:
      FollowWindow(value.window);
      [[fallthrough]];
    case ItemDevicePixelRatioHasChanged:
      // The same logical size on every screen; the pixels are laid out again for this one.
      stale_ = true;
      Reappear();
      break;
    case ItemActiveFocusHasChanged:
      stale_ = true;
      [[fallthrough]];
    case ItemVisibleHasChanged:
      Reappear();
      break;
    case ItemParentHasChanged:
      FollowParent(value.item);
      break;
    case ItemEnabledHasChanged:
      SyncEnabled();
      // Dimmed or not, whether by itself or by a parent.
      stale_ = true;
      Reappear();
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
  using Property = LedSignProperties::Property;
  if (core_ == nullptr) return;
  if (parentItem() != nullptr && !parentItem()->isEnabled()) return;
  if (isEnabled() != core_->Read(Property::Enabled).toBool()) core_->Write(Property::Enabled, isEnabled());
}

// The control set Enabled (a write through the control, a restore): the item's own setting follows, also
// while a parent is disabled.
void LedSignItem::EnabledChanged(bool on) {
  setEnabled(on);
}

// --- Keyboard and mouse ---------------------------------------------------------------------------------

void LedSignItem::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if ((key == Qt::Key_Space || key == Qt::Key_Enter || key == Qt::Key_Return) && !event->isAutoRepeat()) {
    event->accept();
    KeyClick();
    return;
  }
  QQuickItem::keyPressEvent(event);
}

void LedSignItem::mousePressEvent(QMouseEvent* event) {
  core_->Press(event->button() == Qt::LeftButton);
  event->accept();
}

void LedSignItem::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  core_->Release(event->button() == Qt::LeftButton, contains(event->position()));
}

void LedSignItem::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  core_->DoubleClick(event->button() == Qt::LeftButton);
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
