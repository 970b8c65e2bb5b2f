#include "EncodedAudio.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace velvane {

namespace {

struct OutputCloser {
  void operator()(AVFormatContext* p) const {
    if (p->pb != nullptr) {
      avio_closep(&p->pb);
    }
    avformat_free_context(p);
  }
};
struct CodecFreer {
  void operator()(AVCodecContext* p) const { avcodec_free_context(&p); }
};
struct FrameFreer {
  void operator()(AVFrame* p) const { av_frame_free(&p); }
};
struct PacketFreer {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};

// The first sample format the encoder takes among those we can fill.
AVSampleFormat SampleFormatFor(const AVCodec* pCodec) {
  for (const AVSampleFormat* p = pCodec->sample_fmts; p != nullptr && *p != AV_SAMPLE_FMT_NONE;
       ++p) {
    switch (*p) {
      case AV_SAMPLE_FMT_FLT:
      case AV_SAMPLE_FMT_FLTP:
      case AV_SAMPLE_FMT_S16:
      case AV_SAMPLE_FMT_S16P:
      case AV_SAMPLE_FMT_S32:
      case AV_SAMPLE_FMT_S32P:
        return *p;
      default:
        break;
    }
  }
  return AV_SAMPLE_FMT_NONE;
}

void PutSample(AVFrame* pFrame, int nChannel, int nIndex, double dValue) {
  const auto format = static_cast<AVSampleFormat>(pFrame->format);
  const bool bPlanar = av_sample_fmt_is_planar(format) != 0;
  const int nChannels = pFrame->ch_layout.nb_channels;
  std::uint8_t* pData = pFrame->extended_data[bPlanar ? nChannel : 0];
  const int nAt = bPlanar ? nIndex : nIndex * nChannels + nChannel;
  switch (av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_FLT:
      reinterpret_cast<float*>(pData)[nAt] = static_cast<float>(dValue);
      break;
    case AV_SAMPLE_FMT_S16:
      reinterpret_cast<std::int16_t*>(pData)[nAt] = static_cast<std::int16_t>(dValue * 32767.0);
      break;
    default:
      reinterpret_cast<std::int32_t*>(pData)[nAt] =
          static_cast<std::int32_t>(dValue * 2147483647.0);
      break;
  }
}

// Sends `pFrame` (null: the end) and writes every packet the encoder gives back.
std::string Encode(AVCodecContext* pCodec, AVFormatContext* pOutput, AVStream* pStream,
                   const AVFrame* pFrame) {
  if (avcodec_send_frame(pCodec, pFrame) < 0) {
    return "the encoder refused a frame";
  }
  std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
  while (avcodec_receive_packet(pCodec, packet.get()) >= 0) {
    av_packet_rescale_ts(packet.get(), pCodec->time_base, pStream->time_base);
    packet->stream_index = pStream->index;
    if (av_interleaved_write_frame(pOutput, packet.get()) < 0) {
      return "a packet could not be written";
    }
  }
  return {};
}

}  // namespace

std::string EncodeSine(const std::filesystem::path& path, int nChannels, int nRate, double dSeconds,
                       double dAmplitude) {
  const std::string strPath = path.string();
  AVFormatContext* pRawOutput = nullptr;
  if (avformat_alloc_output_context2(&pRawOutput, nullptr, nullptr, strPath.c_str()) < 0) {
    return "no container for " + strPath;
  }
  std::unique_ptr<AVFormatContext, OutputCloser> output(pRawOutput);
  const AVCodec* pEncoder = avcodec_find_encoder(output->oformat->audio_codec);
  if (pEncoder == nullptr || SampleFormatFor(pEncoder) == AV_SAMPLE_FMT_NONE) {
    return "no usable encoder for " + strPath;
  }
  std::unique_ptr<AVCodecContext, CodecFreer> codec(avcodec_alloc_context3(pEncoder));
  codec->sample_fmt = SampleFormatFor(pEncoder);
  codec->sample_rate = nRate;
  av_channel_layout_default(&codec->ch_layout, nChannels);
  codec->bit_rate = 64000L * std::min(nChannels, 6);
  codec->time_base = {1, nRate};
  codec->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
  if ((output->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
    codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  }
  if (avcodec_open2(codec.get(), pEncoder, nullptr) < 0) {
    return "the encoder cannot be opened for " + strPath;
  }
  AVStream* pStream = avformat_new_stream(output.get(), nullptr);
  if (pStream == nullptr || avcodec_parameters_from_context(pStream->codecpar, codec.get()) < 0) {
    return "no stream for " + strPath;
  }
  pStream->time_base = codec->time_base;
  if (avio_open(&output->pb, strPath.c_str(), AVIO_FLAG_WRITE) < 0 ||
      avformat_write_header(output.get(), nullptr) < 0) {
    return "cannot write " + strPath;
  }
  const int nFrameSize = codec->frame_size > 0 ? codec->frame_size : 1024;
  const auto nTotal = static_cast<std::int64_t>(dSeconds * nRate);
  std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
  for (std::int64_t nDone = 0; nDone < nTotal; nDone += nFrameSize) {
    frame->format = codec->sample_fmt;
    frame->sample_rate = nRate;
    frame->nb_samples = nFrameSize;
    av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout);
    if (av_frame_get_buffer(frame.get(), 0) < 0) {
      return "out of memory";
    }
    for (int i = 0; i < nFrameSize; ++i) {
      const double dTime = static_cast<double>(nDone + i) / nRate;
      const double dValue =
          nDone + i < nTotal ? dAmplitude * std::sin(2.0 * std::numbers::pi * 997.0 * dTime) : 0;
      for (int c = 0; c < nChannels; ++c) {
        PutSample(frame.get(), c, i, dValue);
      }
    }
    frame->pts = nDone;
    std::string strError = Encode(codec.get(), output.get(), pStream, frame.get());
    av_frame_unref(frame.get());
    if (!strError.empty()) {
      return strError;
    }
  }
  std::string strError = Encode(codec.get(), output.get(), pStream, nullptr);
  if (!strError.empty()) {
    return strError;
  }
  return av_write_trailer(output.get()) < 0 ? "cannot finish " + strPath : std::string();
}

}  // namespace velvane
