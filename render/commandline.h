#pragma once

#include "renderer.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

/// The command line of velmora-render: its options, their defaults and the ranges the window's
/// scrollbars allow.
class RenderCommandLine
{
public:
    RenderCommandLine();

    enum class Result { render, help, version, error };

    /// Parses the whole argument list, the program name first.
    Result parse(const QStringList &arguments);

    /// After Result::error: one line naming the option and what it accepts.
    const QString &errorText() const { return error_; }
    QString helpText() const { return parser_.helpText(); }

    /// After Result::render: what to compute, where to write it and in which format ("BMP" or
    /// "PNG").
    const RenderParameters &parameters() const { return parameters_; }
    const QString &output() const { return output_; }
    const char *format() const { return format_; }

    /// The largest client width and height accepted.
    static constexpr int maxClientSize = 16384;
    static constexpr int maxThreads = 1024;

private:
    bool read();
    bool fail(const QCommandLineOption &option, const QString &accepts);
    bool readKernel();

    QCommandLineParser parser_;
    QCommandLineOption client_;
    QCommandLineOption picture_;
    QCommandLineOption one_;
    QCommandLineOption two_;
    QCommandLineOption massOne_;
    QCommandLineOption massTwo_;
    QCommandLineOption massMoving_;
    QCommandLineOption radiusOne_;
    QCommandLineOption radiusTwo_;
    QCommandLineOption colorOne_;
    QCommandLineOption colorTwo_;
    QCommandLineOption background_;
    QCommandLineOption stepLimit_;
    QCommandLineOption threads_;
    QCommandLineOption kernel_;
    QCommandLineOption help_;
    QCommandLineOption version_;

    RenderParameters parameters_;
    QString output_;
    const char *format_ = "BMP";
    QString error_;
};
