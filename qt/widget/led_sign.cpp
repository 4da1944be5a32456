// SPDX-License-Identifier: MIT
#include <glimmer/qt/led_sign.h>

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <optional>

#include "host/qt/repaint_pacer.h"
#include "qt/widget/led_sign_accessible.h"
#include "qt/widget/led_sign_p.h"

namespace glimmer::qt {

void LedSignPrivate::FrameChanged() {
  if (OnScreen()) RepaintPacer::instance().Request(q);
}

void LedSignPrivate::AreaChanged(QRect area) {
  if (OnScreen()) RepaintPacer::instance().Request(q, area);
}

// The sign took another width within the widget's: the widget keeps its geometry and shows the new sign.
void LedSignPrivate::SizeChanged(QSize /*logical*/) {
  FrameChanged();
}

void LedSignPrivate::TextChanged() {
  if (!q->accessibleName().isEmpty()) return;
  QAccessibleEvent event(q, QAccessible::NameChanged);
  LedSignAccessible::announce(&event);
}

void LedSignPrivate::ScrollingChanged(bool /*scrolling*/) {
  QAccessible::State marqueed;
  marqueed.marqueed = true;
  QAccessibleStateChangeEvent event(q, marqueed);
  LedSignAccessible::announce(&event);
}

bool LedSignPrivate::OnScreen() const {
  if (!q->isVisible()) return false;
  const QWidget* top = q->window();
  if (top->isMinimized()) return false;
  const QWindow* handle = top->windowHandle();
  return handle != nullptr && handle->isExposed();
}

// A window that is restored from minimised may still count as exposed all along, and then Qt does not
// repaint it: ask for that here, for the ticks that were not painted meanwhile.
void LedSignPrivate::FollowWindow() {
  QWindow* handle = q->window()->windowHandle();
  if (handle == followed) return;
  if (followed) QObject::disconnect(followed, nullptr, q, nullptr);
  followed = handle;
  if (handle) QObject::connect(handle, &QWindow::windowStateChanged, q, [this] { FrameChanged(); });
}

LedSign::LedSign(QWidget* parent) : QWidget(parent), d_(std::make_unique<LedSignPrivate>(this)) {
  core_ = new SignCore(*d_);
  // Not opaque: beyond the sign (a wider or a fractional geometry) the parent's background shows, as under
  // Qt's display widgets, or the palette's Window with autoFillBackground.
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setFocusPolicy(Qt::NoFocus);
  resize(core_->NaturalSize());
  LedSignAccessible::InstallFactory();
}

LedSign::~LedSign() {
  // Inside one of the sign's own handlers, the core outlives the widget until that handler's caller returns.
  SignCore::Dispose(core_);
  core_ = nullptr;
}

QSize LedSign::sizeHint() const {
  return core_->NaturalSize();
}

QSize LedSign::minimumSizeHint() const {
  return sizeHint();
}

void LedSign::paintEvent(QPaintEvent* /*event*/) {
  ++d_->paints;
  QPainter painter(this);
  // Disabled, by itself or by a parent: at half opacity over the palette's background.
  std::optional<QColor> dim_over;
  if (!isEnabled()) dim_over = palette().color(QPalette::Window);
  core_->Paint(painter, devicePixelRatioF(), dim_over, hasFocus());
}

void LedSign::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Enter:
    case Qt::Key_Return:
      if (event->isAutoRepeat()) break;
      event->accept();
      KeyClick();
      return;
    default:
      break;
  }
  QWidget::keyPressEvent(event);
}

void LedSign::focusInEvent(QFocusEvent* event) {
  update();
  QWidget::focusInEvent(event);
}

void LedSign::focusOutEvent(QFocusEvent* event) {
  update();
  QWidget::focusOutEvent(event);
}

// A size given to the sign from outside (resize(), a layout, Designer): the widget keeps it, and the sign
// takes the widest width the size rule allows within it.
void LedSign::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  core_->FitTo(event->size());
}

void LedSign::showEvent(QShowEvent* event) {
  d_->FollowWindow();
  QWidget::showEvent(event);
}

// The sign's own enabled state (not one it has from a disabled parent) is the control's Enabled.
void LedSign::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) {
    const bool own = !testAttribute(Qt::WA_ForceDisabled);
    if (own != core_->Read(LedSignProperties::Property::Enabled).toBool())
      core_->Write(LedSignProperties::Property::Enabled, own);
  }
  QWidget::changeEvent(event);
}

void LedSign::mousePressEvent(QMouseEvent* event) {
  core_->Press(event->button() == Qt::LeftButton);
  event->accept();
}

void LedSign::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  core_->Release(event->button() == Qt::LeftButton, rect().contains(event->position().toPoint()));
}

void LedSign::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  core_->DoubleClick(event->button() == Qt::LeftButton);
}

}  // namespace glimmer::qt
