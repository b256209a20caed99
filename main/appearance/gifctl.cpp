#include "gifctl.h"

#include "clsgif.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>

namespace {

int buttonCode(Qt::MouseButtons buttons)
{
    return ((buttons & Qt::LeftButton) ? 1 : 0) | ((buttons & Qt::RightButton) ? 2 : 0) |
           ((buttons & Qt::MiddleButton) ? 4 : 0);
}

int shiftCode(Qt::KeyboardModifiers mods)
{
    return ((mods & Qt::ShiftModifier) ? 1 : 0) | ((mods & Qt::ControlModifier) ? 2 : 0) |
           ((mods & Qt::AltModifier) ? 4 : 0);
}

} // namespace

GifCtl::GifCtl(QWidget* parent)
    : QWidget(parent), m_backColor(palette().color(QPalette::Button)), m_tmrFrame(new QTimer(this))
{
    m_tmrFrame->setObjectName(QStringLiteral("tmrFrame"));
    connect(m_tmrFrame, &QTimer::timeout, this, &GifCtl::FrameStep);
    setMouseTracking(true); // MouseMove also without a pressed button
    setFocusPolicy(Qt::ClickFocus);
}

GifCtl::~GifCtl() = default;

void GifCtl::SetBackColor(const QColor& color)
{
    m_backColor = color;
    draw();
}

void GifCtl::SetBackStyle(int style)
{
    m_backStyle = style == 0 ? 0 : 1;
    draw();
}

void GifCtl::SetBorderStyle(int style)
{
    m_borderStyle = style == 0 ? 0 : 1;
    recutIfOutgrown();
    draw();
}

void GifCtl::SetEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    if (on)
        FrameStep();
    else
        m_tmrFrame->stop();
}

bool GifCtl::LoadFile(const QString& fileName)
{
    m_decoder = std::make_unique<clsGIF>();
    start(m_decoder->LoadFile(fileName));
    return !m_frames.empty();
}

bool GifCtl::LoadData(const QByteArray& gif)
{
    m_decoder = std::make_unique<clsGIF>();
    m_decoder->setGIFdata(gif);
    start(GifError::None);
    return !m_frames.empty();
}

void GifCtl::start(GifError loadError)
{
    ++m_generation;
    m_tmrFrame->stop();
    m_frames.clear();
    m_index = 0;
    m_current = -1;
    m_stepsWithoutWait = 0;
    m_shown = false;
    m_cut = innerRect().size();
    m_decodeError = loadError;
    if (m_decodeError == GifError::None)
        m_decodeError = m_decoder->Reset();
    CachedFrame first;
    if (m_decodeError == GifError::None && first.frame.LoadNext(*m_decoder)) {
        m_frames.push_back(std::move(first));
        firstShow();
    } else {
        if (m_decodeError == GifError::None)
            m_decodeError = m_decoder->error();
        draw(); // an empty control shows its background only
    }
}

void GifCtl::firstShow()
{
    if (m_shown)
        return;
    m_shown = true;
    // Running or still is decided before the first step, so that step draws
    // frame 1 and arms the timer only when the animation is meant to run.
    m_enabled = m_autoStart;
    m_index = 0;
    FrameStep();
}

void GifCtl::FrameStep()
{
    m_tmrFrame->stop();
    if (m_frames.empty())
        return;
    const quint64 generation = m_generation;
    for (;;) {
        ++m_index;
        if (m_index > int(m_frames.size())) {
            CachedFrame next;
            if (next.frame.LoadNext(*m_decoder)) {
                m_frames.push_back(std::move(next));
                m_current = int(m_frames.size()) - 1;
            } else if (m_decoder->error() != GifError::None) {
                // A broken later frame: stay on the last good one.
                m_decodeError = m_decoder->error();
                m_index = int(m_frames.size());
                return;
            } else {
                m_index = 1;
                emit AnimationDone();
                if (generation != m_generation)
                    return;
                if (!m_autoLoop) {
                    m_index = 0; // a later start begins with frame 1
                    return;
                }
                m_current = 0;
            }
        } else {
            m_current = m_index - 1;
        }

        draw();
        emit FrameChanged();
        if (generation != m_generation || !m_enabled)
            return;

        const int delay = m_frames[size_t(m_current)].frame.DelayMS();
        if (delay != 0) {
            m_stepsWithoutWait = 0;
            m_tmrFrame->start(delay);
            return;
        }
        // One frame with delay 0 stays on show. Until the decoder has seen
        // the end, the list only looks short because decoding is lazy.
        if (m_frames.size() == 1 && m_decoder->ended())
            return;
        // Delay 0: pass on at once, but not round and round for ever.
        if (++m_stepsWithoutWait > int(m_frames.size())) {
            m_stepsWithoutWait = 0;
            m_tmrFrame->start(kZeroDelayLoopMs);
            return;
        }
    }
}

QRect GifCtl::innerRect() const
{
    return m_borderStyle ? rect().adjusted(1, 1, -1, -1) : rect();
}

void GifCtl::prepare(CachedFrame& cached)
{
    if (cached.prepared)
        return;
    cached.prepared = true;
    // Only the top left part that the control can show is kept, so a big GIF
    // costs a small picture per frame; its own pictures are let go.
    const QImage& bitmap = cached.frame.Bitmap();
    const QImage& mask = cached.frame.Mask();
    const QRect area = QRect(QPoint(0, 0), m_cut) & bitmap.rect();
    if (!area.isEmpty()) {
        QImage picture(area.size(), QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < picture.height(); ++y) {
            const auto* c = reinterpret_cast<const QRgb*>(bitmap.constScanLine(y));
            const auto* m = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
            auto* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x)
                out[x] = (m[x] & 0xff) ? (c[x] | 0xff000000u) : 0u;
        }
        cached.picture = picture;
        cached.shape = QRegion(QBitmap::fromImage(picture.createAlphaMask()));
    }
    cached.frame.releasePictures();
}

void GifCtl::recutIfOutgrown()
{
    const QSize inner = innerRect().size();
    const QSize gif = gifSize();
    if ((inner.width() > m_cut.width() && m_cut.width() < gif.width()) ||
        (inner.height() > m_cut.height() && m_cut.height() < gif.height()))
        recut();
}

void GifCtl::recut()
{
    m_cut = innerRect().size();
    if (!m_decoder || m_frames.empty())
        return;
    // The cached pictures are cut too small for the new size: decode the
    // frames seen so far once more.
    const size_t count = m_frames.size();
    m_frames.clear();
    if (m_decoder->Reset() == GifError::None) {
        while (m_frames.size() < count) {
            CachedFrame next;
            if (!next.frame.LoadNext(*m_decoder))
                break;
            m_frames.push_back(std::move(next));
            prepare(m_frames.back());
        }
    }
    m_current = std::min(m_current, int(m_frames.size()) - 1);
    m_index = std::min(m_index, int(m_frames.size()));
}

void GifCtl::draw()
{
    // The frame goes over the background where its mask is opaque, at the
    // top left and unscaled.
    const QRect inner = innerRect();
    QImage surface(inner.size().expandedTo(QSize(0, 0)), QImage::Format_ARGB32_Premultiplied);
    surface.fill(m_backStyle ? m_backColor : QColor(Qt::transparent));
    CachedFrame* cached = m_current < 0 ? nullptr : &m_frames[size_t(m_current)];
    if (cached)
        prepare(*cached);
    if (cached && !surface.isNull() && !cached->picture.isNull()) {
        QPainter p(&surface);
        p.drawImage(0, 0, cached->picture);
    }
    m_surface = surface;

    // A transparent control takes the frame's shape (and catches the mouse
    // only there); an opaque one is a plain rectangle.
    if (m_backStyle == 0 && cached) {
        QRegion shape = cached->shape.translated(inner.topLeft()) & inner;
        if (m_borderStyle)
            shape += QRegion(rect()) - QRegion(inner);
        setMask(shape.isEmpty() ? QRegion(0, 0, 1, 1) : shape);
    } else {
        clearMask();
    }
    update();
}

void GifCtl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(innerRect().topLeft(), m_surface);
    if (m_borderStyle) {
        p.setPen(QColor(0, 0, 0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void GifCtl::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    recutIfOutgrown();
    draw();
}

void GifCtl::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!m_shown && !m_frames.empty())
        firstShow();
}

void GifCtl::mousePressEvent(QMouseEvent* e)
{
    m_pressed = e->button() == Qt::LeftButton;
    const QPoint pos = e->position().toPoint();
    emit MouseDown(buttonCode(e->button()), shiftCode(e->modifiers()), pos.x(), pos.y());
}

void GifCtl::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    emit MouseMove(buttonCode(e->buttons()), shiftCode(e->modifiers()), pos.x(), pos.y());
}

void GifCtl::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    const bool click = m_pressed && e->button() == Qt::LeftButton && rect().contains(pos);
    if (e->button() == Qt::LeftButton)
        m_pressed = false;
    emit MouseUp(buttonCode(e->button()), shiftCode(e->modifiers()), pos.x(), pos.y());
    if (click)
        emit Click();
}

void GifCtl::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        emit DblClick();
    else
        mousePressEvent(e);
}

void GifCtl::keyPressEvent(QKeyEvent* e)
{
    emit KeyDown(e->key(), shiftCode(e->modifiers()));
    if (!e->text().isEmpty())
        emit KeyPress(e->text().at(0).unicode());
}

void GifCtl::keyReleaseEvent(QKeyEvent* e)
{
    emit KeyUp(e->key(), shiftCode(e->modifiers()));
}

QByteArray GifCtl::GIFdata() const
{
    return m_decoder ? m_decoder->GIFdata() : QByteArray();
}

QSize GifCtl::gifSize() const
{
    return m_decoder ? QSize(m_decoder->Width(), m_decoder->Height()) : QSize();
}
