// SPDX-License-Identifier: MIT
#include "bench/qpainter_sign.h"

#include <QPainter>

#include "control/tables/glyph_font.h"

namespace glimmer::bench {
namespace {

constexpr int kPitch = 3;         // a 2 x 2 dot and a 1-pixel gap
constexpr int kRows = 9;          // the text's 7 rows with a blank row above and below
constexpr int kGlyphColumns = 6;  // 5 columns and a blank one

const GlyphPattern* Glyph(QChar c) {
  for (const GlyphPattern& g : kGlyphFont)
    if (g.key == c.unicode()) return &g;
  return nullptr;
}

}  // namespace

QPainterSign::QPainterSign(QString text, QColor lit, QColor unlit, int width, QWidget* parent)
    : QWidget(parent), text_(std::move(text)), lit_(lit), unlit_(unlit), columns_((width - 2) / kPitch - 1) {
  setFixedSize((columns_ + 1) * kPitch + 2, 32);
  setAttribute(Qt::WA_OpaquePaintEvent);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] {
    step_ = (step_ + 1) % (columns_ + kGlyphColumns * static_cast<int>(text_.size()));
    update();
  });
}

void QPainterSign::start(int milliseconds) {
  step_ = 0;
  timer_.start(milliseconds);
}

// The text enters at the right edge and moves one column to the left each step.
bool QPainterSign::Lit(int column, int row) const {
  const int t = column - (columns_ - step_);
  if (t < 0 || row < 1 || row > 7 || t % kGlyphColumns == kGlyphColumns - 1) return false;
  const int index = t / kGlyphColumns;
  if (index >= text_.size()) return false;
  const GlyphPattern* g = Glyph(text_[index]);
  return g != nullptr && g->rows[row - 1][t % kGlyphColumns] == '#';
}

void QPainterSign::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  painter.setPen(QColor(0x73, 0x73, 0x73));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  painter.setPen(Qt::white);
  painter.drawRect(rect().adjusted(1, 1, -2, -2));
  for (int c = 0; c < columns_; ++c)
    for (int r = 0; r < kRows; ++r)
      painter.fillRect(3 + kPitch * c, 3 + kPitch * r, 2, 2, Lit(c, r) ? lit_ : unlit_);
}

}  // namespace glimmer::bench
