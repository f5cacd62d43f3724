#pragma once

#include <QString>

/// A file name that holds one frame number: %d, or %0Nd for at least N digits (N 1 to 9) with
/// leading zeros, as in frames/f%04d.png.
class FramePattern
{
public:
    /// Reads name; false unless it holds exactly one frame number, and no other % followed by
    /// digits and d.
    bool read(const QString &name);

    /// The name of this frame.
    QString fileName(int frame) const;

private:
    QString before_;
    QString after_;
    int digits_ = 0;
};
