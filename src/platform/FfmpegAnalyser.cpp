#include "platform/FfmpegAnalyser.h"

#include <ebur128.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/analysis/TruePeak.h"
#include "core/db/MusicFile.h"
#include "core/db/NativeFile.h"
#include "platform/FfmpegHandles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace velvane {

namespace {

constexpr double kAudibleDbfs = -45.0;
constexpr int kWindowMs = 50;

struct ResamplerFreer {
  void operator()(SwrContext* p) const { swr_free(&p); }
};
struct MeterFreer {
  void operator()(ebur128_state* p) const { ebur128_destroy(&p); }
};

std::string AvError(int nError) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(nError, text, sizeof text);
  return text;
}

// Where a window starts or ends, in ms; clamped, as a damaged header may claim any length.
int ClampedMs(double dMs) {
  return static_cast<int>(std::clamp(dMs, 0.0, static_cast<double>(INT_MAX)));
}

// "m:ss" for error texts.
std::string Minutes(double dSeconds) {
  const auto nSeconds = static_cast<std::int64_t>(std::clamp(dSeconds, 0.0, 1e12));
  const std::int64_t nRest = nSeconds % 60;
  return std::to_string(nSeconds / 60) + (nRest < 10 ? ":0" : ":") + std::to_string(nRest);
}

// Finds the first and last 50 ms window whose RMS over all channels is above -45 dBFS.
class AudibleWindows {
 public:
  AudibleWindows(int nChannels, int nRate)
      : m_nChannels(nChannels),
        m_nRate(nRate),
        m_nWindowFrames(std::max<std::int64_t>(1, std::int64_t{nRate} * kWindowMs / 1000)),
        m_dThreshold(std::pow(10.0, kAudibleDbfs / 10.0)) {}

  void Add(const float* pSamples, std::int64_t nFrames) {
    for (std::int64_t f = 0; f < nFrames; ++f) {
      for (int c = 0; c < m_nChannels; ++c) {
        const double dSample = pSamples[f * m_nChannels + c];
        m_dSquares += dSample * dSample;
      }
      if (++m_nInWindow == m_nWindowFrames) {
        CloseWindow();
      }
    }
  }
  // The last window may be shorter.
  void Finish() {
    if (m_nInWindow > 0) {
      CloseWindow();
    }
  }
  bool Audible() const { return m_nFirst >= 0; }
  std::int64_t Frames() const { return m_nFrames; }
  int StartMs() const { return Ms(m_nFirst); }
  int EndMs() const { return Ms(m_nLastEnd); }

 private:
  void CloseWindow() {
    const double dMeanSquare = m_dSquares / static_cast<double>(m_nInWindow * m_nChannels);
    if (dMeanSquare > m_dThreshold) {
      if (m_nFirst < 0) {
        m_nFirst = m_nFrames;
      }
      m_nLastEnd = m_nFrames + m_nInWindow;
    }
    m_nFrames += m_nInWindow;
    m_nInWindow = 0;
    m_dSquares = 0.0;
  }
  int Ms(std::int64_t nFrame) const {
    return ClampedMs(static_cast<double>(nFrame) * 1000.0 / m_nRate);
  }

  int m_nChannels;
  int m_nRate;
  std::int64_t m_nWindowFrames;
  double m_dThreshold;         // mean square at -45 dBFS
  std::int64_t m_nFrames = 0;  // frames in closed windows
  std::int64_t m_nInWindow = 0;
  double m_dSquares = 0.0;
  std::int64_t m_nFirst = -1;
  std::int64_t m_nLastEnd = 0;
};

std::uint32_t LittleEndian32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}

// The length a WAV file's header promises (its data chunk's size over the byte rate), in
// seconds; 0 when it does not tell. The FFmpeg demuxer drops that promise when the file is
// shorter, just when it is needed to tell a file cut short. Sizes of 2 GB and more are the
// placeholders that recorders writing to a pipe leave, not lengths.
double WavDeclaredSeconds(const std::string& strPath) {
  std::ifstream in(PathFromUtf8(strPath), std::ios::binary);
  unsigned char head[12] = {};
  if (!in.read(reinterpret_cast<char*>(head), sizeof head) || std::memcmp(head, "RIFF", 4) != 0 ||
      std::memcmp(head + 8, "WAVE", 4) != 0) {
    return 0.0;
  }
  std::uint32_t nByteRate = 0;
  for (int nChunk = 0; nChunk < 64; ++nChunk) {
    unsigned char chunk[8] = {};
    if (!in.read(reinterpret_cast<char*>(chunk), sizeof chunk)) {
      return 0.0;
    }
    const std::uint32_t nSize = LittleEndian32(chunk + 4);
    if (std::memcmp(chunk, "data", 4) == 0) {
      return nByteRate > 0 && nSize > 0 && nSize < 0x80000000u
                 ? static_cast<double>(nSize) / nByteRate
                 : 0.0;
    }
    std::uint32_t nRead = 0;
    if (std::memcmp(chunk, "fmt ", 4) == 0 && nSize >= 16) {
      unsigned char format[16] = {};
      if (!in.read(reinterpret_cast<char*>(format), sizeof format)) {
        return 0.0;
      }
      nByteRate = LittleEndian32(format + 8);
      nRead = sizeof format;
    }
    in.seekg(std::streamoff{nSize} - nRead + (nSize & 1u), std::ios::cur);  // chunks are even
  }
  return 0.0;
}

// The music file as the demuxer reads it. It is opened without waiting and its type is
// checked on the open descriptor: the path was checked before, but a FIFO put in its place
// since would make a plain open wait for a writer for ever.
class InputFile {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile() {
    if (m_pContext != nullptr) {
      av_freep(&m_pContext->buffer);
      avio_context_free(&m_pContext);
    }
    if (m_nFile >= 0) {
      ::close(m_nFile);
    }
  }

  bool Open(const std::string& strPath, std::string& strError) {
#ifdef _WIN32
    m_nFile = ::_wopen(PathFromUtf8(strPath).c_str(), O_RDONLY | O_BINARY | kNoWait | kNoInherit);
#else
    m_nFile = ::open(strPath.c_str(), O_RDONLY | kNoWait | kNoInherit);
#endif
    struct stat status = {};
    if (m_nFile < 0 || ::fstat(m_nFile, &status) != 0) {
      strError = "it cannot be opened: " + std::generic_category().message(errno);
      return false;
    }
    if (!S_ISREG(status.st_mode)) {
      strError = "not a regular file";
      return false;
    }
    constexpr int kBufferSize = 64 * 1024;
    auto* pBuffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (pBuffer != nullptr) {
      m_pContext = avio_alloc_context(pBuffer, kBufferSize, 0, this, Read, nullptr, Seek);
    }
    if (m_pContext == nullptr) {
      av_free(pBuffer);
      strError = "out of memory";
      return false;
    }
    return true;
  }
  AVIOContext* Context() const {
    return m_pContext;
  }

 private:
#ifdef O_NONBLOCK
  static constexpr int kNoWait = O_NONBLOCK;  // no effect on a regular file's reads
#else
  static constexpr int kNoWait = 0;  // no FIFOs to wait for
#endif
#ifdef O_CLOEXEC
  static constexpr int kNoInherit = O_CLOEXEC;
#else
  static constexpr int kNoInherit = 0;
#endif

  static int Read(void* pOpaque, std::uint8_t* pBuffer, int nSize) {
    const auto nRead =
        ::read(static_cast<InputFile*>(pOpaque)->m_nFile, pBuffer, static_cast<std::size_t>(nSize));
    if (nRead < 0) {
      return AVERROR(errno);
    }
    return nRead == 0 ? AVERROR_EOF : static_cast<int>(nRead);
  }
  static std::int64_t Seek(void* pOpaque, std::int64_t nOffset, int nWhence) {
    const int nFile = static_cast<InputFile*>(pOpaque)->m_nFile;
    if ((nWhence & AVSEEK_SIZE) != 0) {
      struct stat status = {};
      return ::fstat(nFile, &status) == 0 ? static_cast<std::int64_t>(status.st_size)
                                          : AVERROR(errno);
    }
    const auto nAt = ::lseek(nFile, static_cast<off_t>(nOffset), nWhence & ~AVSEEK_FORCE);
    return nAt < 0 ? AVERROR(errno) : static_cast<std::int64_t>(nAt);
  }

  int m_nFile = -1;
  AVIOContext* m_pContext = nullptr;
};

// What the conversion is set up for. A stream may change any of it part-way (an mp3 that
// goes from stereo to mono, an AC-3 from 5.1 to stereo, FLAC frames that disagree), and
// libswresample reads the frame's planes as it was told they are, so every decoded frame is
// checked against it.
struct InputFormat {
  AVChannelLayout layout = {};
  int nRate = 0;
  int nSampleFormat = AV_SAMPLE_FMT_NONE;

  InputFormat() = default;
  InputFormat(const InputFormat&) = delete;
  InputFormat& operator=(const InputFormat&) = delete;
  ~InputFormat() { av_channel_layout_uninit(&layout); }

  // The frame's format; a layout without channel order becomes the default one of its count.
  bool Take(const AVFrame* pFrame) {
    av_channel_layout_uninit(&layout);
    nRate = pFrame->sample_rate;
    nSampleFormat = pFrame->format;
    if (pFrame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
      av_channel_layout_default(&layout, pFrame->ch_layout.nb_channels);
      return true;
    }
    return av_channel_layout_copy(&layout, &pFrame->ch_layout) >= 0;
  }
  bool Matches(const AVFrame* pFrame) const {
    if (pFrame->sample_rate != nRate || pFrame->format != nSampleFormat ||
        pFrame->ch_layout.nb_channels != layout.nb_channels) {
      return false;
    }
    return pFrame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC ||
           av_channel_layout_compare(&pFrame->ch_layout, &layout) == 0;
  }
};

// One file from opening to the measures. Everything is converted to one fixed format before
// it is measured: stereo float at the rate of the first frame. libebur128 keeps its state
// for one channel count and rate, so a stream whose format changes part-way is still
// measured whole by one meter; only the conversion is set up again at each change. Mono is
// copied to both sides at full level (it is heard from two speakers, which reads as
// libebur128's dual mono); more than two channels become their stereo mix-down.
class Measurement {
 public:
  bool Run(const std::string& strPath, TrackMeasures& measures, std::string& strError) {
    m_strPath = strPath;
    return Open(strPath, strError) && Decode(strError) && Result(measures, strError);
  }

 private:
  static constexpr int kOutChannels = 2;
  static constexpr int kMinRate = 1000;
  static constexpr int kMaxRate = 768000;

  bool Open(const std::string& strPath, std::string& strError) {
    if (!m_file.Open(strPath, strError)) {
      return false;
    }
    AVFormatContext* pFormat = avformat_alloc_context();
    if (pFormat == nullptr) {
      strError = "out of memory";
      return false;
    }
    pFormat->pb = m_file.Context();
    // The name still tells the demuxer the format it is most likely to be.
    int nError = avformat_open_input(&pFormat, strPath.c_str(), nullptr, nullptr);
    if (nError < 0) {
      strError = "not a music file that can be read: " + AvError(nError);
      return false;
    }
    m_format.reset(pFormat);
    if ((nError = avformat_find_stream_info(pFormat, nullptr)) < 0) {
      strError = "its streams cannot be read: " + AvError(nError);
      return false;
    }
    const AVCodec* pCodec = nullptr;
    m_nStream = av_find_best_stream(pFormat, AVMEDIA_TYPE_AUDIO, -1, -1, &pCodec, 0);
    if (m_nStream < 0 || pCodec == nullptr) {
      strError =
          m_nStream == AVERROR_DECODER_NOT_FOUND ? "no decoder for its audio" : "it holds no audio";
      return false;
    }
    m_codec.reset(avcodec_alloc_context3(pCodec));
    const AVStream* pStream = pFormat->streams[m_nStream];
    if (!m_codec || avcodec_parameters_to_context(m_codec.get(), pStream->codecpar) < 0) {
      strError = "its decoder cannot be set up";
      return false;
    }
    m_codec->thread_count = 1;  // files are analysed in parallel instead
    if ((nError = avcodec_open2(m_codec.get(), pCodec, nullptr)) < 0) {
      strError = "its decoder cannot be opened: " + AvError(nError);
      return false;
    }
    return true;
  }

  bool Decode(std::string& strError) {
    std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
    if (!packet || !frame) {
      strError = "out of memory";
      return false;
    }
    int nRead = 0;
    while ((nRead = av_read_frame(m_format.get(), packet.get())) >= 0) {
      // A damaged packet is left out, as the decks skip it when they play.
      const bool bOk = packet->stream_index != m_nStream ||
                       avcodec_send_packet(m_codec.get(), packet.get()) < 0 ||
                       ReceiveFrames(frame.get(), strError);
      av_packet_unref(packet.get());
      if (!bOk) {
        return false;
      }
    }
    if (nRead != AVERROR_EOF) {
      m_strReadError = AvError(nRead);
    }
    avcodec_send_packet(m_codec.get(), nullptr);
    if (!ReceiveFrames(frame.get(), strError) || !Drain(strError)) {
      return false;
    }
    if (m_windows) {
      m_windows->Finish();
    }
    return true;
  }

  bool ReceiveFrames(AVFrame* pFrame, std::string& strError) {
    while (avcodec_receive_frame(m_codec.get(), pFrame) >= 0) {
      const bool bAdded = AddFrame(pFrame, strError);
      av_frame_unref(pFrame);
      if (!bAdded) {
        return false;
      }
    }
    return true;
  }

  // A damaged frame may claim any rate; converting 1 Hz to 44100 Hz would need gigabytes.
  static bool RateOk(int nRate, std::string& strError) {
    if (nRate >= kMinRate && nRate <= kMaxRate) {
      return true;
    }
    strError = "its sample rate of " + std::to_string(nRate) + " Hz cannot be measured";
    return false;
  }

  // The meters, at the rate of the first frame.
  bool StartMeters(int nRate, std::string& strError) {
    if (RateOk(nRate, strError)) {
      m_meter.reset(ebur128_init(kOutChannels, static_cast<unsigned long>(nRate), EBUR128_MODE_I));
    }
    if (!m_meter) {
      strError = "its sample rate of " + std::to_string(nRate) + " Hz cannot be measured";
      return false;
    }
    m_nRate = nRate;
    m_windows = std::make_unique<AudibleWindows>(kOutChannels, m_nRate);
    m_peak = std::make_unique<TruePeakMeter>(kOutChannels, m_nRate);
    return true;
  }

  // Sets the conversion up for the frame's format, after the samples the previous one still
  // holds have been measured.
  bool Convert(const AVFrame* pFrame, std::string& strError) {
    if (m_resampler && !Drain(strError)) {
      return false;
    }
    m_resampler.reset();
    if (!RateOk(pFrame->sample_rate, strError)) {
      return false;
    }
    if (pFrame->ch_layout.nb_channels <= 0 || !m_input.Take(pFrame)) {
      strError = "its audio format cannot be converted";
      return false;
    }
    AVChannelLayout output = {};
    av_channel_layout_default(&output, kOutChannels);
    SwrContext* pResampler = nullptr;
    int nError = swr_alloc_set_opts2(
        &pResampler, &output, AV_SAMPLE_FMT_FLT, m_nRate, &m_input.layout,
        static_cast<AVSampleFormat>(m_input.nSampleFormat), m_input.nRate, 0, nullptr);
    m_resampler.reset(pResampler);
    if (nError >= 0 && m_input.layout.nb_channels == 1) {
      // Both sides at full level, not the -3 dB each of the default up-mix.
      const double matrix[kOutChannels] = {1.0, 1.0};
      nError = swr_set_matrix(pResampler, matrix, 1);
    }
    if (nError < 0 || swr_init(pResampler) < 0) {
      m_resampler.reset();
      strError = "its audio format cannot be converted";
      return false;
    }
    return true;
  }

  bool AddFrame(const AVFrame* pFrame, std::string& strError) {
    if (pFrame->nb_samples <= 0) {
      return true;
    }
    if (!m_meter && !StartMeters(pFrame->sample_rate, strError)) {
      return false;
    }
    if ((!m_resampler || !m_input.Matches(pFrame)) && !Convert(pFrame, strError)) {
      return false;
    }
    return Measure(const_cast<const std::uint8_t**>(pFrame->extended_data), pFrame->nb_samples,
                   strError);
  }

  // Measures what the conversion gives for `nIn` frames (none: what it still holds).
  bool Measure(const std::uint8_t** ppIn, int nIn, std::string& strError) {
    const int nRoom = swr_get_out_samples(m_resampler.get(), nIn);
    if (nRoom <= 0) {
      return nRoom == 0 || Failed(nRoom, strError);
    }
    m_samples.resize(static_cast<std::size_t>(nRoom) * kOutChannels);
    auto* pOut = reinterpret_cast<std::uint8_t*>(m_samples.data());
    const int nFrames = swr_convert(m_resampler.get(), &pOut, nRoom, ppIn, nIn);
    if (nFrames < 0) {
      return Failed(nFrames, strError);
    }
    ebur128_add_frames_float(m_meter.get(), m_samples.data(), static_cast<std::size_t>(nFrames));
    m_peak->Add(m_samples.data(), static_cast<std::size_t>(nFrames));
    m_windows->Add(m_samples.data(), nFrames);
    return true;
  }

  bool Drain(std::string& strError) { return !m_resampler || Measure(nullptr, 0, strError); }

  static bool Failed(int nError, std::string& strError) {
    strError = "its audio cannot be converted: " + AvError(nError);
    return false;
  }

  // The length the container declares, in seconds, where it is read from the file rather
  // than guessed from the bit rate; 0 when unknown.
  double DeclaredSeconds() const {
    const AVFormatContext* pFormat = m_format.get();
    if (std::string_view(pFormat->iformat->name) == "wav") {
      return WavDeclaredSeconds(m_strPath);
    }
    if (pFormat->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE) {
      return 0.0;
    }
    const AVStream* pStream = pFormat->streams[m_nStream];
    if (pStream->duration != AV_NOPTS_VALUE && pStream->duration > 0) {
      return static_cast<double>(pStream->duration) * av_q2d(pStream->time_base);
    }
    return pFormat->duration > 0 ? static_cast<double>(pFormat->duration) / AV_TIME_BASE : 0.0;
  }

  bool Result(TrackMeasures& measures, std::string& strError) const {
    const std::int64_t nFrames = m_windows ? m_windows->Frames() : 0;
    const double dDecoded = nFrames > 0 ? static_cast<double>(nFrames) / m_nRate : 0.0;
    // Said before anything about the sound: a file cut off in its quiet opening is not silent.
    const double dDeclared = DeclaredSeconds();
    if (dDecoded < dDeclared - std::max(1.0, dDeclared * 0.01)) {
      strError = "the file is cut short: its audio stops at " + Minutes(dDecoded) + " of " +
                 Minutes(dDeclared);
      return false;
    }
    if (nFrames == 0) {
      strError = "no audio could be decoded" +
                 (m_strReadError.empty() ? std::string() : ": " + m_strReadError);
      return false;
    }
    double dLoudness = 0.0;
    if (!m_windows->Audible() || ebur128_loudness_global(m_meter.get(), &dLoudness) != 0 ||
        !std::isfinite(dLoudness)) {
      strError = "it holds no audible sound";
      return false;
    }
    double dPeak = 0.0;
    for (int c = 0; c < kOutChannels; ++c) {
      dPeak = std::max(dPeak, m_peak->Peak(c));
    }
    measures.dLoudness = dLoudness;
    measures.dTruePeak = 20.0 * std::log10(dPeak);
    measures.nAudibleStart = m_windows->StartMs();
    measures.nAudibleEnd = m_windows->EndMs();
    return true;
  }

  InputFile m_file;  // outlives the demuxer that reads it
  std::unique_ptr<AVFormatContext, FormatCloser> m_format;
  std::unique_ptr<AVCodecContext, CodecFreer> m_codec;
  std::unique_ptr<SwrContext, ResamplerFreer> m_resampler;
  std::unique_ptr<ebur128_state, MeterFreer> m_meter;
  std::unique_ptr<AudibleWindows> m_windows;
  std::unique_ptr<TruePeakMeter> m_peak;
  InputFormat m_input;
  std::vector<float> m_samples;
  std::string m_strPath;
  std::string m_strReadError;
  int m_nStream = -1;
  int m_nRate = 0;
};

}  // namespace

FfmpegAnalyser::FfmpegAnalyser() {
  // The libraries' own messages would flood a scripted run; each failure is told once, here.
  static std::once_flag quiet;
  std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
}

bool FfmpegAnalyser::Analyse(const std::string& strPath, TrackMeasures& measures,
                             std::string& strError) {
  // Only a regular file is opened: a FIFO or device could block the decoder for ever.
  strError = NotAFileReason(strPath);
  if (!strError.empty()) {
    return false;
  }
  std::error_code error;
  if (std::filesystem::file_size(PathFromUtf8(strPath), error) == 0) {
    strError = "the file is empty";
    return false;
  }
  return Measurement().Run(strPath, measures, strError);
}

}  // namespace velvane
