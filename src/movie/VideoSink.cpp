// A video file made by an ffmpeg process fed raw RGB frames on its standard input.
#include "movie/VideoSink.h"

#include "fileio/FileIo.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstring>
#include <ctime>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace movie {

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view suffix)
{
    if (text.size() < suffix.size())
        return false;
    text.remove_prefix(text.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (c != suffix[i])
            return false;
    }
    return true;
}

// SIGPIPE blocked in this thread while it writes to the encoder: a write to a
// dead encoder then fails with EPIPE. A SIGPIPE raised meanwhile is taken off
// the pending set before the old mask returns, so it never arrives later.
class SigpipeBlocked {
public:
    SigpipeBlocked()
    {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
        sigset_t pending;
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
    }
    ~SigpipeBlocked()
    {
        sigset_t pending;
        if (!wasPending_ && sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1) {
            const timespec none{};
            while (sigtimedwait(&pipe_, nullptr, &none) < 0 && errno == EINTR) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }
    SigpipeBlocked(const SigpipeBlocked&) = delete;
    SigpipeBlocked& operator=(const SigpipeBlocked&) = delete;

private:
    sigset_t pipe_{}, old_{};
    bool wasPending_ = false;
};

// A new empty file named after `target`, made as the video itself would be.
std::string CreateTemporary(const std::string& target)
{
    std::string name;
    const int fd = fileio::CreateUnique(target + ".", ".part", name);
    if (fd < 0)
        throw MovieError(target + ": " + fileio::ErrorText(errno));
    ::close(fd);
    return name;
}

std::string FormatRate(double fps)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, fps);
    return std::string(text, result.ptr);
}

void CloseFd(int& fd) noexcept
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

VideoFormat VideoFormatOf(std::string_view path)
{
    if (EndsWithNoCase(path, ".mp4"))
        return VideoFormat::Mp4;
    if (EndsWithNoCase(path, ".webm"))
        return VideoFormat::WebM;
    throw MovieError(std::string(path) + ": a movie file name ends in .mp4 or .webm.");
}

std::vector<std::string> EncoderArguments(const VideoSettings& settings, VideoFormat format, int width, int height,
                                          const std::string& output)
{
    const bool mp4 = format == VideoFormat::Mp4;
    const int quality = settings.quality.value_or(mp4 ? 23 : 31);
    std::vector<std::string> args = {
        "-hide_banner", "-nostats", "-loglevel", "error",
        "-f", "rawvideo", "-pix_fmt", "rgb24",
        "-s", std::to_string(width) + "x" + std::to_string(height),
        "-framerate", FormatRate(settings.fps), "-i", "-",
    };
    if (mp4)
        args.insert(args.end(), {"-c:v", "libx264", "-preset", "medium", "-crf", std::to_string(quality),
                                 "-pix_fmt", "yuv420p", "-movflags", "+faststart", "-f", "mp4"});
    else // VP9 keeps to the quality level only with the bit rate left open (-b:v 0).
        args.insert(args.end(), {"-c:v", "libvpx-vp9", "-crf", std::to_string(quality), "-b:v", "0",
                                 "-deadline", "good", "-cpu-used", "2", "-row-mt", "1",
                                 "-pix_fmt", "yuv420p", "-f", "webm"});
    // "file:" keeps a name that starts with '-' or holds a ':' from being read as an option or a protocol.
    args.insert(args.end(), {"-y", "file:" + output});
    return args;
}

VideoSink::VideoSink(VideoSettings settings) : settings_(std::move(settings)), format_(VideoFormatOf(settings_.path))
{
}

VideoSink::~VideoSink() { Abort(); }

void VideoSink::Begin(int width, int height, int frames)
{
    Abort();
    const bool mp4 = format_ == VideoFormat::Mp4;
    if (width < 2 || height < 2 || frames < 1)
        throw MovieError(settings_.path + ": a video needs at least 2 x 2 pixels and one frame.");
    if (mp4 && (width % 2 != 0 || height % 2 != 0))
        throw MovieError(settings_.path + ": an .mp4 video (H.264, yuv420p) needs an even width and height, not " +
                         std::to_string(width) + " x " + std::to_string(height) + ".");
    if (!std::isfinite(settings_.fps) || settings_.fps <= 0.0 || settings_.fps > 1000.0)
        throw MovieError(settings_.path + ": the frame rate must be more than 0 and at most 1000 frames per second.");
    const int maxQuality = mp4 ? 51 : 63;
    if (settings_.quality && (*settings_.quality < 0 || *settings_.quality > maxQuality))
        throw MovieError(settings_.path + ": the quality level of " + (mp4 ? "an .mp4" : "a .webm") +
                         " video is 0 (best) to " + std::to_string(maxQuality) + ".");
    width_ = width;
    height_ = height;
    temporary_ = CreateTemporary(settings_.path);

    int input[2] = {-1, -1}, errors[2] = {-1, -1};
    if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(errors, O_CLOEXEC) != 0) {
        const int error = errno;
        for (int fd : {input[0], input[1], errors[0], errors[1]})
            if (fd >= 0)
                ::close(fd);
        Abort();
        throw MovieError(settings_.path + ": " + fileio::ErrorText(error));
    }
    input_ = input[1];
    errors_ = errors[0];

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own process group, default signal actions and no blocked signal,
    // whatever this program or the calling thread has set.
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);

    std::vector<std::string> args = EncoderArguments(settings_, format_, width, height, temporary_);
    args.insert(args.begin(), settings_.program);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = ::posix_spawnp(&pid, settings_.program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(input[0]);
    ::close(errors[1]);
    if (spawned != 0) {
        Abort();
        if (spawned == ENOENT)
            throw MovieError(settings_.path + ": cannot make a video, the program " + settings_.program +
                             " was not found. Install the Debian package \"ffmpeg\" (PNG frames need no ffmpeg).");
        throw MovieError(settings_.path + ": cannot start " + settings_.program + ": " + fileio::ErrorText(spawned));
    }
    pid_ = pid;
    // Both ends non-blocking: a write never hangs past a cancel, and ffmpeg's
    // messages are read while it waits for input, so neither side stalls.
    for (int fd : {input_, errors_})
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

void VideoSink::BeginFrame(int /*index*/, std::string_view /*viewText*/)
{
    if (pid_ < 0 || rows_ >= 0)
        throw std::logic_error("VideoSink::BeginFrame before Begin or inside a frame");
    rows_ = 0;
}

void VideoSink::Row(std::span<const std::uint8_t> rgb)
{
    if (rows_ < 0 || rows_ >= height_ || rgb.size() != static_cast<std::size_t>(width_) * 3)
        throw std::logic_error("VideoSink::Row outside a frame or of the wrong length");
    Write(rgb.data(), rgb.size());
    ++rows_;
}

void VideoSink::EndFrame()
{
    // A short frame would shift every later frame's rows.
    if (rows_ != height_)
        throw std::logic_error("VideoSink::EndFrame before the frame's last row");
    rows_ = -1;
}

void VideoSink::Write(const std::uint8_t* data, std::size_t size)
{
    SigpipeBlocked blocked;
    while (size > 0) {
        ThrowIfCancelled();
        pollfd fds[2] = {{input_, POLLOUT, 0}, {errors_, POLLIN, 0}};
        if (::poll(fds, 2, 100) < 0) {
            if (errno == EINTR)
                continue;
            Fail(fileio::ErrorText(errno));
        }
        if (fds[1].revents != 0)
            ReadErrors();
        if (fds[0].revents == 0)
            continue;
        const ssize_t n = ::write(input_, data, size);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            if (errno == EPIPE) // ffmpeg has ended: its status and messages say why
                Fail(EncoderFailure(WaitForEncoder()));
            Fail(fileio::ErrorText(errno));
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

void VideoSink::ReadErrors()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(errors_, buffer, sizeof buffer);
        if (n > 0) {
            errorTail_.append(buffer, static_cast<std::size_t>(n));
            if (errorTail_.size() > 16384)
                errorTail_.erase(0, errorTail_.size() - 8192);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return; // EAGAIN: nothing more now; 0: ffmpeg has closed it
    }
}

void VideoSink::Finish()
{
    if (pid_ < 0 || rows_ >= 0)
        throw std::logic_error("VideoSink::Finish before Begin or inside a frame");
    const int status = WaitForEncoder();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        Fail(EncoderFailure(status));
    // ffmpeg has closed the file; make it durable before it takes the chosen name.
    int error = fileio::SyncFile(temporary_);
    if (!error)
        error = fileio::RenameOver(temporary_, settings_.path);
    if (error)
        Fail(fileio::ErrorText(error));
    temporary_.clear();
}

void VideoSink::ThrowIfCancelled()
{
    if (settings_.cancel && settings_.cancel->load(std::memory_order_relaxed)) {
        Abort();
        throw MovieCancelled();
    }
}

int VideoSink::WaitForEncoder()
{
    CloseFd(input_); // end of input: ffmpeg writes out what it holds and ends
    // Its messages until it closes standard error, that is until it ends.
    for (;;) {
        ThrowIfCancelled();
        pollfd fd{errors_, POLLIN, 0};
        const int ready = ::poll(&fd, 1, 100);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        const std::size_t before = errorTail_.size();
        ReadErrors();
        if (errorTail_.size() == before && (fd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
            break;
    }
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    CloseFd(errors_);
    return status;
}

std::string VideoSink::EncoderFailure(int status) const
{
    // The last line ffmpeg wrote that says more than its closing "Conversion failed!".
    std::size_t end = errorTail_.size();
    while (end > 0) {
        const std::size_t start = errorTail_.find_last_of("\r\n", end - 1);
        const std::size_t from = start == std::string::npos ? 0 : start + 1;
        const std::string line = errorTail_.substr(from, end - from);
        end = start == std::string::npos ? 0 : start;
        if (!line.empty() && line != "Conversion failed!")
            return settings_.program + " failed: " + line;
    }
    if (WIFSIGNALED(status))
        return settings_.program + " was ended by signal " + std::to_string(WTERMSIG(status));
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return settings_.program + " ended before the last frame";
    return settings_.program + " failed with exit status " + std::to_string(WEXITSTATUS(status));
}

void VideoSink::Fail(const std::string& reason)
{
    Abort();
    throw MovieError(settings_.path + ": " + reason);
}

void VideoSink::Abort() noexcept
{
    CloseFd(input_);
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }
    CloseFd(errors_);
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
    rows_ = -1;
}

std::string VideoSink::AfterAbort(int /*framesDone*/) const { return "no video was written"; }

} // namespace movie
