#pragma once

#include "backgroundwork.h"

#include "scene/viewfile.h"

#include <QObject>
#include <QString>

#include <cstdint>

/// Computes a place at its size and writes it as a picture file, away from the GUI thread:
/// exactly the file velmora-render writes for the same view and parameters, through the safe
/// files (nothing partial; an older file stays as it was when anything fails or is cancelled).
class PictureSaver : public QObject
{
    Q_OBJECT

public:
    explicit PictureSaver(QObject *parent = nullptr);
    ~PictureSaver() override;

    /// Starts saving; false when a save is under way already.
    bool start(const Place &place, const QString &path);
    /// Any thread.
    void cancel() { work_.cancel(); }
    bool busy() const { return work_.busy(); }

    std::int64_t pointsDone() const { return work_.pointsDone(); }
    std::int64_t pointCount() const { return work_.pointCount(); }

signals:
    /// ok false: *reason says why ("cancelled" when it was).
    void finished(bool ok, const QString &reason);

private:
    void run(const Place &place, const QString &path);

    BackgroundWork work_;
};
