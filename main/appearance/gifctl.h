#pragma once

#include "clsframe.h"
#include "giferror.h"

#include <QColor>
#include <QImage>
#include <QRegion>
#include <QWidget>

#include <memory>
#include <vector>

class clsGIF;
class QTimer;

// The animated picture control. It holds the bytes of one GIF, decodes the
// frames lazily (one per step on the first run, replays from its cache
// afterwards) and shows them one after another on its frame timer
// `tmrFrame`, whose interval is the delay of the frame on show.
//
// `Enabled` is the animation's run switch, not QWidget's input switch: while
// true the timer steps the frames; false keeps the frame on show. The mouse,
// key and click events of the surface come out as the signals of the same
// names, with buttons and shift state coded 1/2/4 (left/right/middle,
// shift/ctrl/alt) and positions in pixels.
//
// With BackStyle 0 (transparent) the control takes the shape of the frame's
// mask: the parent shows through, and the mouse is only caught on opaque
// pixels.
class GifCtl : public QWidget
{
    Q_OBJECT
public:
    explicit GifCtl(QWidget* parent = nullptr);
    ~GifCtl() override;

    QColor BackColor() const { return m_backColor; }
    void SetBackColor(const QColor& color);
    int BackStyle() const { return m_backStyle; } // 0 transparent, 1 opaque
    void SetBackStyle(int style);
    int BorderStyle() const { return m_borderStyle; } // 0 none, 1 single
    void SetBorderStyle(int style);
    // What the surface shows: background and frame, the size of the inner area.
    QImage Image() const { return m_surface; }

    // Set AutoStart and AutoLoop before loading: they act when a GIF starts.
    bool AutoStart() const { return m_autoStart; }
    void SetAutoStart(bool on) { m_autoStart = on; }
    bool AutoLoop() const { return m_autoLoop; }
    void SetAutoLoop(bool on) { m_autoLoop = on; }
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool on);

    // Loads a GIF (a file or a Qt resource such as ":/art/gifctl9.gif") and
    // starts over: frame 1 is shown and, with AutoStart, the animation runs.
    // False, and an empty control, when the file cannot be read or its first
    // frame cannot be decoded.
    bool LoadFile(const QString& fileName);
    bool LoadData(const QByteArray& gif);
    // The bytes of the GIF held (empty when none is).
    QByteArray GIFdata() const;

    // Position of the frame on show (from 1; 0 before the first) and the
    // number of frames decoded so far.
    int frameIndex() const { return m_index; }
    int frameCount() const { return int(m_frames.size()); }
    // The GIF's own screen size (empty before a GIF is loaded).
    QSize gifSize() const;
    // The error that stopped decoding, None while the GIF reads cleanly.
    GifError decodeError() const { return m_decodeError; }
    QTimer* frameTimer() const { return m_tmrFrame; }

    // After a whole loop of frames that all have delay 0 the control waits
    // this long before the next loop, so such a GIF cannot take the thread.
    static constexpr int kZeroDelayLoopMs = 100;

public slots:
    // One tick of the frame timer: shows the next frame and re-arms the timer.
    void FrameStep();

signals:
    void Click();
    void DblClick();
    void KeyDown(int keyCode, int shift);
    void KeyPress(int keyAscii);
    void KeyUp(int keyCode, int shift);
    void MouseDown(int button, int shift, int x, int y);
    void MouseMove(int button, int shift, int x, int y);
    void MouseUp(int button, int shift, int x, int y);
    void FrameChanged();
    void AnimationDone();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    struct CachedFrame
    {
        clsFrame frame; // its pictures are let go once prepared
        QImage picture; // the part shown: colours with the mask as (premultiplied) alpha
        QRegion shape;  // opaque pixels of that part
        bool prepared = false;
    };

    void start(GifError loadError);
    void firstShow();
    void draw();
    void prepare(CachedFrame& cached);
    void recut();
    void recutIfOutgrown();
    QRect innerRect() const;

    QColor m_backColor;
    int m_backStyle = 1;
    int m_borderStyle = 0;
    bool m_autoStart = true;
    bool m_autoLoop = true;
    bool m_enabled = true;

    std::unique_ptr<clsGIF> m_decoder;
    std::vector<CachedFrame> m_frames;
    int m_index = 0;
    int m_current = -1; // list position of the frame on show, -1 for none
    bool m_shown = false;
    GifError m_decodeError = GifError::None;
    // Steps run at once (delay 0) since the timer last waited.
    int m_stepsWithoutWait = 0;
    // Counts the GIFs started, so a step notices when a signal handler loaded
    // another GIF under its feet.
    quint64 m_generation = 0;
    bool m_pressed = false;
    // The size the cached pictures are cut to: the inner area when the GIF
    // was started or last outgrew it.
    QSize m_cut;

    QTimer* m_tmrFrame = nullptr;
    QImage m_surface;
};
