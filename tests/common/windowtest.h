#pragma once

// Helpers shared by the main window's tests: finding controls by name, what the drawing
// surface should hold, and callbacks that run between the steps of a run.

#include "ui/mainwindow/frmgrav.h"
#include "ui/mainwindow/pictureframe.h"

#include "picture/surface.h"
#include "sim/pixels.h"
#include "sim/capturemap.h"
#include "sim/number.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QScrollBar>
#include <QTimer>

#include <functional>

namespace windowtest {

template <class T> T *child(const QObject &root, const char *name)
{
    return root.findChild<T *>(QString::fromUtf8(name));
}

inline QScrollBar *bar(const frmgrav &w, const char *name)
{
    return child<QScrollBar>(w, name);
}

inline QLineEdit *field(const frmgrav &w, const char *name)
{
    return child<QLineEdit>(w, name);
}

inline QAction *action(const frmgrav &w, const char *name)
{
    return child<QAction>(w, name);
}

inline PictureFrame *pictureFrame(const frmgrav &w)
{
    return child<PictureFrame>(w, "Image1");
}

inline std::int16_t radiusOne(const frmgrav &w)
{
    return static_cast<std::int16_t>(bar(w, "vscradred")->value());
}

inline std::int16_t radiusTwo(const frmgrav &w)
{
    return static_cast<std::int16_t>(bar(w, "vscradblau")->value());
}

/// The text a value field shows for n in the user's locale.
inline QString text(sim::Number n)
{
    return QString::fromStdString(sim::numberText(n, QLocale().decimalPoint().toStdString()));
}

enum class Order { twoThenOne, oneThenTwo };

/// An empty surface of the window's size with the two capture circles at the window's current
/// parameters, drawn in the given order.
inline Surface circlesOnly(const frmgrav &w, Order order = Order::twoThenOne)
{
    const sim::simstate &s = w.state();
    Surface expected(w.surface().size(), w.surface().background());
    auto one = [&] { expected.drawCircle(s.xrot, s.yrot, radiusOne(w), s.colorrot); };
    auto two = [&] { expected.drawCircle(s.xblau, s.yblau, radiusTwo(w), s.colorblau); };
    if (order == Order::twoThenOne) {
        two();
        one();
    } else {
        one();
        two();
    }
    return expected;
}

/// What a complete run with the window's current parameters paints, computed by the core alone.
inline QImage completePicture(const frmgrav &w)
{
    Surface expected = circlesOnly(w);
    const sim::simstate &s = w.state();
    for (const sim::CapturedPoint &p :
         sim::captureMap(s, pictureFrame(w)->pictureRect(), radiusOne(w), radiusTwo(w))) {
        if (p.result.capture != sim::Capture::none)
            expected.setPixel(p.point.x, p.point.y,
                              p.result.capture == sim::Capture::one ? s.colorrot : s.colorblau);
    }
    return expected.image();
}

/// Sets the picture rectangle through its scrollbars, as a user would.
inline void setPictureSize(const frmgrav &w, int width, int height)
{
    bar(w, "vscpicsizex")->setValue(width);
    bar(w, "vscpicsizey")->setValue(height);
}

/// Calls a function at every pass of the event loop, so between two steps of a run and inside
/// any modal box, until it returns true.
class EveryPass
{
public:
    explicit EveryPass(std::function<bool()> callback) : callback_(std::move(callback))
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (callback_())
                timer_.stop();
        });
        timer_.start();
    }
    bool done() const { return !timer_.isActive(); }

private:
    std::function<bool()> callback_;
    QTimer timer_;
};

/// Closes every message box that opens, recording what it showed.
class MessageBoxes
{
public:
    struct Box
    {
        QString text, title;
        bool hasIcon = false;
        int buttons = 0;
    };

    MessageBoxes()
        : pass_([this] {
              if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                  seen_.append({box->text(), box->windowTitle(), box->icon() != QMessageBox::NoIcon,
                                int(box->buttons().size())});
                  box->button(QMessageBox::Ok)->click();
              }
              return false;
          })
    {
    }
    const QList<Box> &seen() const { return seen_; }

private:
    QList<Box> seen_;
    EveryPass pass_;
};

inline std::int32_t packed(int red, int green, int blue)
{
    return red + 256 * green + 65536 * blue;
}

/// image with a circle outline drawn over it, as the window draws one.
inline void drawOutline(QImage &image, float x, float y, float radius, std::int32_t colour)
{
    for (const sim::Pixel &p : sim::circleOutline(x, y, radius))
        if (image.valid(p.x, p.y))
            image.setPixel(p.x, p.y, toRgb(colour));
}

template <class T> QList<T *> openWindows()
{
    QList<T *> windows;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *t = qobject_cast<T *>(w); t && t->isVisible())
            windows << t;
    return windows;
}

inline void deleteClosedWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace windowtest
