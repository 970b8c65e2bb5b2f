#include "EncodedAudio.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <string>

#include "platform/FfmpegHandles.h"

namespace velvane {

std::string SoxSine(const std::filesystem::path& path, double dSeconds,
                    const std::string& strEffects, int nChannels, int nRate) {
  const std::string strCommand = "sox -D -n -r " + std::to_string(nRate) + " -b 16 -c " +
                                 std::to_string(nChannels) + " '" + path.string() + "' synth " +
                                 std::to_string(dSeconds) + " sine 997 " + strEffects +
                                 " 2>/dev/null";
  return std::system(strCommand.c_str()) == 0 && std::filesystem::exists(path)
             ? std::string()
             : "sox could not make " + path.filename().string() + " (packages sox, libsox-fmt-mp3)";
}

std::string EncodeSine(const std::filesystem::path& path, int nChannels, int nRate, double dSeconds,
                       double dAmplitude) {
  const std::string strPath = path.string();
  std::string strFailed = "FFmpeg could not encode " + strPath;
  AVFormatContext* pRawOutput = nullptr;
  avformat_alloc_output_context2(&pRawOutput, nullptr, nullptr, strPath.c_str());
  const auto closeOutput = [](AVFormatContext* p) {
    avio_closep(&p->pb);  // does nothing before the file is open
    avformat_free_context(p);
  };
  std::unique_ptr<AVFormatContext, decltype(closeOutput)> output(pRawOutput, closeOutput);
  const AVCodec* pEncoder = output ? avcodec_find_encoder(output->oformat->audio_codec) : nullptr;
  std::unique_ptr<AVCodecContext, CodecFreer> codec(avcodec_alloc_context3(pEncoder));
  if (pEncoder == nullptr || !codec) {
    return strFailed;
  }
  codec->sample_fmt = AV_SAMPLE_FMT_FLTP;  // what FFmpeg's AAC and AC-3 encoders take
  codec->sample_rate = nRate;
  av_channel_layout_default(&codec->ch_layout, nChannels);
  codec->bit_rate = 64000L * std::min(nChannels, 6);
  codec->time_base = {1, nRate};
  codec->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
  if ((output->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
    codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  }
  AVStream* pStream = avformat_new_stream(output.get(), nullptr);
  if (avcodec_open2(codec.get(), pEncoder, nullptr) < 0 || pStream == nullptr ||
      avcodec_parameters_from_context(pStream->codecpar, codec.get()) < 0 ||
      avio_open(&output->pb, strPath.c_str(), AVIO_FLAG_WRITE) < 0 ||
      avformat_write_header(output.get(), nullptr) < 0) {
    return strFailed;
  }
  // Sends `pFrame` (null: the end) and writes every packet the encoder gives back.
  std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
  const auto Encode = [&](const AVFrame* pFrame) {
    bool bOk = avcodec_send_frame(codec.get(), pFrame) >= 0;
    while (bOk && avcodec_receive_packet(codec.get(), packet.get()) >= 0) {
      av_packet_rescale_ts(packet.get(), codec->time_base, pStream->time_base);
      packet->stream_index = pStream->index;
      bOk = av_interleaved_write_frame(output.get(), packet.get()) >= 0;
    }
    return bOk;
  };
  const int nFrameSize = codec->frame_size > 0 ? codec->frame_size : 1024;
  const auto nTotal = static_cast<std::int64_t>(dSeconds * nRate);
  std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
  for (std::int64_t nDone = 0; nDone < nTotal; nDone += nFrameSize) {
    frame->format = codec->sample_fmt;
    frame->sample_rate = nRate;
    frame->nb_samples = nFrameSize;
    av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout);
    if (av_frame_get_buffer(frame.get(), 0) < 0) {
      return strFailed;
    }
    for (int i = 0; i < nFrameSize; ++i) {
      const double dTime = static_cast<double>(nDone + i) / nRate;
      const double dValue =
          nDone + i < nTotal ? dAmplitude * std::sin(2.0 * std::numbers::pi * 997.0 * dTime) : 0;
      for (int c = 0; c < nChannels; ++c) {
        reinterpret_cast<float*>(frame->extended_data[c])[i] = static_cast<float>(dValue);
      }
    }
    frame->pts = nDone;
    const bool bOk = Encode(frame.get());
    av_frame_unref(frame.get());
    if (!bOk) {
      return strFailed;
    }
  }
  return Encode(nullptr) && av_write_trailer(output.get()) >= 0 ? std::string() : strFailed;
}

}  // namespace velvane
