#include "moviefile.h"

#include "files/safefile.h"

#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

/// ffmpeg reads the frames from its standard input and writes the movie to this descriptor.
constexpr int movieDescriptor = 3;

/// The raw frames' layout: the drawing surface's 0xffRRGGBB words in memory order.
const char *rawFormat()
{
    return Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "bgr0" : "0rgb";
}

bool writeAll(int fd, const uchar *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

/// The frames' way into ffmpeg's standard input.
class Pipe : public MovieFrames
{
public:
    Pipe(int fd, QSize size) : fd_(fd), size_(size) {}

    bool add(const QImage &frame) override
    {
        if (failed_ || frame.size() != size_)
            return false;
        const QImage image = frame.format() == QImage::Format_RGB32
                                 ? frame
                                 : frame.convertToFormat(QImage::Format_RGB32);
        const std::size_t row = std::size_t(size_.width()) * 4;
        for (int y = 0; y < size_.height() && !failed_; ++y)
            failed_ = !writeAll(fd_, image.constScanLine(y), row);
        return !failed_;
    }
    bool failed() const { return failed_; }

private:
    int fd_;
    QSize size_;
    bool failed_ = false;
};

/// Keeps SIGPIPE from ending the program while this thread writes to ffmpeg: a write to an
/// ffmpeg that has gone fails instead. A SIGPIPE raised meanwhile is taken back.
class PipeSignalBlock
{
public:
    PipeSignalBlock()
    {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
    }
    ~PipeSignalBlock()
    {
        const timespec now = {0, 0};
        while (sigtimedwait(&pipe_, nullptr, &now) == SIGPIPE) {
        }
        pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }

private:
    sigset_t pipe_;
    sigset_t old_;
};

/// A descriptor of 10 or above, so that moving it to 0, 2 or 3 in the child overwrites no other.
int aside(int fd)
{
    return fcntl(fd, F_DUPFD_CLOEXEC, 10);
}

/// Starts ffmpeg: its input from input, the movie to output as descriptor 3, its messages to
/// errors. The pid, or -1 with errno set.
pid_t spawn(const QString &program, const QStringList &arguments, int input, int output,
            int errors)
{
    std::vector<QByteArray> bytes{program.toLocal8Bit()};
    for (const QString &a : arguments)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errors, STDERR_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output, movieDescriptor);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int s : {SIGPIPE, SIGINT, SIGTERM, SIGHUP})
        sigaddset(&defaults, s);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return pid;
}

/// The exit status of child, waited for.
int waitFor(pid_t child)
{
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

/// The last line ffmpeg printed.
QString lastMessage(int errors)
{
    QByteArray text(4096, '\0');
    const off_t end = lseek(errors, 0, SEEK_END);
    const off_t start = end > text.size() ? end - text.size() : 0;
    const ssize_t got = pread(errors, text.data(), std::size_t(text.size()), start);
    text.truncate(got > 0 ? int(got) : 0);
    const QList<QByteArray> lines = text.trimmed().split('\n');
    return QString::fromLocal8Bit(lines.constLast().trimmed());
}

/// Runs ffmpeg on the open movie file and produce's frames: empty, or the problem.
QString encode(int movie, const MovieFormat &format,
               const std::function<bool(MovieFrames &)> &produce)
{
    const QString program = ffmpegProgram();
    if (program.isEmpty())
        return ffmpegMissing();
    int ends[2] = {-1, -1};
    if (pipe2(ends, O_CLOEXEC) != 0)
        return qt_error_string(errno);
    const int errorsFd = memfd_create("ffmpeg messages", MFD_CLOEXEC);
    const int input = aside(ends[0]);
    const int writeEnd = aside(ends[1]);
    const int output = aside(movie);
    const int errors = errorsFd < 0 ? -1 : aside(errorsFd);
    for (const int fd : {ends[0], ends[1], errorsFd})
        if (fd >= 0)
            close(fd);
    const auto closeAll = [&] {
        for (const int fd : {input, writeEnd, output, errors})
            if (fd >= 0)
                close(fd);
    };
    if (input < 0 || writeEnd < 0 || output < 0 || errors < 0) {
        const int error = errno;
        closeAll();
        return qt_error_string(error);
    }
    const PipeSignalBlock block;
    const pid_t child =
        spawn(program, format.ffmpegArguments(QStringLiteral("/dev/fd/%1").arg(movieDescriptor)),
              input, output, errors);
    if (child < 0) {
        const int error = errno;
        closeAll();
        return QStringLiteral("cannot start '%1': %2").arg(program, qt_error_string(error));
    }
    close(input);
    close(output);
    Pipe frames(writeEnd, format.size);
    const bool produced = produce(frames);
    const bool cancelled = !produced && !frames.failed();
    if (cancelled)
        kill(child, SIGKILL);
    close(writeEnd);
    const int status = waitFor(child);
    const QString message = lastMessage(errors);
    close(errors);
    if (cancelled)
        return QStringLiteral("cancelled");
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return produced ? QString() : QStringLiteral("ffmpeg stopped reading the frames");
    if (WIFSIGNALED(status))
        return QStringLiteral("ffmpeg ended by signal %1 (%2)")
            .arg(WTERMSIG(status))
            .arg(QString::fromLocal8Bit(strsignal(WTERMSIG(status))));
    return QStringLiteral("ffmpeg failed (exit %1): %2").arg(WEXITSTATUS(status)).arg(message);
}

} // namespace

QStringList MovieFormat::ffmpegArguments(const QString &output) const
{
    QStringList a{QStringLiteral("-nostdin"), QStringLiteral("-hide_banner"),
                  QStringLiteral("-loglevel"), QStringLiteral("error"),
                  QStringLiteral("-f"), QStringLiteral("rawvideo"),
                  QStringLiteral("-pix_fmt"), QLatin1String(rawFormat()),
                  QStringLiteral("-video_size"),
                  QStringLiteral("%1x%2").arg(size.width()).arg(size.height()),
                  QStringLiteral("-framerate"), QString::number(fps),
                  QStringLiteral("-i"), QStringLiteral("pipe:0")};
    if (lossless) {
        a << QStringLiteral("-c:v") << QStringLiteral("libx264rgb") << QStringLiteral("-qp")
          << QStringLiteral("0") << QStringLiteral("-pix_fmt") << QLatin1String(rawFormat());
    } else {
        // 4:2:0 needs an even width and height: an odd one gains a row or column of black.
        a << QStringLiteral("-vf") << QStringLiteral("pad=ceil(iw/2)*2:ceil(ih/2)*2")
          << QStringLiteral("-c:v") << QStringLiteral("libx264") << QStringLiteral("-crf")
          << QStringLiteral("18") << QStringLiteral("-pix_fmt") << QStringLiteral("yuv420p");
    }
    a << QStringLiteral("-movflags") << QStringLiteral("+faststart") << QStringLiteral("-f")
      << QStringLiteral("mp4") << QStringLiteral("-y") << output;
    return a;
}

bool isMovieName(const QString &path)
{
    return path.endsWith(QStringLiteral(".mp4"), Qt::CaseInsensitive);
}

QString ffmpegProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
}

QString ffmpegMissing()
{
    return QStringLiteral("an MP4 needs ffmpeg, which is not on PATH (Debian: apt install "
                          "ffmpeg); frames as NAME%05d.png need nothing else");
}

bool writeMovieFile(const QString &path, const MovieFormat &format,
                    const std::function<bool(MovieFrames &)> &produce, QString *reason)
{
    return writeFileThrough(
        path, [&](int fd) { return encode(fd, format, produce); }, reason);
}
