#include "platform/codec/WaveSave.h"

#include <sys/stat.h>

#include <memory>
#include <optional>
#include <vector>

#include "base/PartialFile.h"
#include "base/Streams.h"
#include "platform/codec/CodecCatalog.h"
#include "platform/codec/RiffWave.h"

namespace codec {

namespace {

TWaveSaveResult Failed(TWaveSaveStatus status, std::string detail, std::string path = {}, MMRESULT code = 0) {
  TWaveSaveResult r;
  r.Status = status;
  r.Detail = std::move(detail);
  r.Path = std::move(path);
  r.Code = code;
  return r;
}

// The destination could not be made or written: the system's cause with it.
TWaveSaveResult DestFailed(TWaveSaveStatus status, std::string detail, const TPartialFile& out,
                           const std::string& dest) {
  TWaveSaveResult r = Failed(status, std::move(detail), dest);
  r.Error = out.Error();
  return r;
}

// Driver and stream handles, closed on every way out.
struct TStreamHandles {
  HACMDRIVER Driver = nullptr;
  HACMSTREAM Stream = nullptr;
  ~TStreamHandles() {
    if (Stream) acmStreamClose(Stream);
    if (Driver) acmDriverClose(Driver);
  }
};

// Refuses a destination that is the source itself (writing it would destroy
// the take being read) and opens the source; the failure, if any.
std::optional<TWaveSaveResult> OpenSource(const std::string& source, const std::string& dest,
                                          std::unique_ptr<TFileStream>& in) {
  if (SameFile(source, dest)) return Failed(TWaveSaveStatus::wsCannotOpen, "destination is the source", dest);
  try {
    in = std::make_unique<TFileStream>(source, fmOpenRead);
  } catch (const EStreamError& e) {
    return Failed(TWaveSaveStatus::wsCannotOpen, e.Message(), source);
  }
  return std::nullopt;
}

uint32_t ConvertFlags(bool first, bool last) {
  uint32_t flags = last ? ACM_STREAMCONVERTF_END : ACM_STREAMCONVERTF_BLOCKALIGN;
  return first ? flags | ACM_STREAMCONVERTF_START : flags;
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

TWaveSaveResult ConvertWaveFile(const std::string& source, const std::string& dest, const TWaveFormat& format,
                                HACMDRIVERID driver, const TWaveSaveEvents& events) {
  std::unique_ptr<TFileStream> in;
  if (auto refused = OpenSource(source, dest, in)) return *refused;
  TWaveFileInfo info;
  try {
    info = ReadWaveHeader(*in);
  } catch (const EWaveError& e) {
    return Failed(TWaveSaveStatus::wsBadSource, e.Message());
  }
  // The stream and the blocks follow the file's own format.
  const TWaveFormat& pcm = info.Format;
  if (!detail::CheckPcmFormat(pcm)) return Failed(TWaveSaveStatus::wsBadSource, "source is not 8- or 16-bit PCM");

  TStreamHandles h;
  MMRESULT code = driver ? acmDriverOpen(h.Driver, driver) : MMSYSERR_NOERROR;
  if (code == MMSYSERR_NOERROR) code = acmStreamOpen(h.Stream, h.Driver, pcm, format, ACM_STREAMOPENF_NONREALTIME);
  const uint32_t blockBytes = std::max<uint32_t>(1, pcm.nSamplesPerSec() / 10) * pcm.nBlockAlign();
  uint32_t dstBytes = 0;
  if (code == MMSYSERR_NOERROR) code = acmStreamSize(h.Stream, blockBytes, dstBytes, ACM_STREAMSIZEF_SOURCE);
  if (code != MMSYSERR_NOERROR) return Failed(TWaveSaveStatus::wsNoStream, "no conversion stream", {}, code);

  TPartialFile out(dest);
  if (!out.Create()) return DestFailed(TWaveSaveStatus::wsCannotOpen, "cannot create the destination", out, dest);

  std::vector<uint8_t> src(blockBytes), dst(std::max<uint32_t>(dstBytes, 1));
  uint64_t pos = 0, consumed = 0;
  // A stray byte after the last whole frame is no audio.
  const uint64_t total = info.DataSize - info.DataSize % pcm.nBlockAlign();
  try {
    TWaveFileWriter writer(out.Stream(), format.Bytes(), true);
    // Runs one conversion round; false when the codec fails.
    auto round = [&](uint32_t n, uint32_t flags, uint32_t& used, uint32_t& produced) {
      ACMSTREAMHEADER hdr;
      hdr.pbSrc = src.data();
      hdr.cbSrcLength = n;
      hdr.pbDst = dst.data();
      hdr.cbDstLength = uint32_t(dst.size());
      code = acmStreamPrepareHeader(h.Stream, hdr);
      if (code == MMSYSERR_NOERROR) code = acmStreamConvert(h.Stream, hdr, flags);
      if (code == MMSYSERR_NOERROR) code = acmStreamUnprepareHeader(h.Stream, hdr);
      used = hdr.cbSrcLengthUsed;
      produced = hdr.cbDstLengthUsed;
      if (code == MMSYSERR_NOERROR) writer.Write(dst.data(), produced);
      return code == MMSYSERR_NOERROR;
    };
    if (events.OnProgress) events.OnProgress(0, total);
    for (bool first = true; pos < total; first = false) {
      uint32_t n = uint32_t(std::min<uint64_t>(blockBytes, total - pos));
      in->SetPosition(info.DataOffset + int64_t(pos));
      if (in->Read(src.data(), n) != n) return Failed(TWaveSaveStatus::wsBadSource, "The WAVE file is truncated");
      uint32_t used = 0, produced = 0;
      if (!round(n, ConvertFlags(first, n < blockBytes), used, produced))
        return Failed(TWaveSaveStatus::wsConvertError, "conversion failed", {}, code);
      // A codec that takes nothing and gives nothing would be fed the same bytes for ever.
      if (used == 0 && produced == 0) return Failed(TWaveSaveStatus::wsConvertError, "conversion made no progress");
      pos += used;
      consumed += used;
      if (events.OnProgress) events.OnProgress(pos, total);
      if (events.Aborted && events.Aborted()) return Failed(TWaveSaveStatus::wsAborted, "stopped");
    }
    // The codec's last partial block and what it still holds; repeated
    // while it has more than one destination block to give.
    for (uint32_t used = 0, produced = 1; produced > 0;)
      if (!round(0, ACM_STREAMCONVERTF_END, used, produced))
        return Failed(TWaveSaveStatus::wsConvertError, "conversion failed", {}, code);
    TWaveSaveResult done;
    done.Samples = uint32_t(consumed / pcm.nBlockAlign());
    writer.Finish(done.Samples);
    if (!out.Commit()) return DestFailed(TWaveSaveStatus::wsWriteError, "cannot complete the destination", out, dest);
    return done;
  } catch (const EStreamError& e) {
    return DestFailed(TWaveSaveStatus::wsWriteError, e.Message(), out, dest);
  }
}

TWaveSaveResult CopyWaveFile(const std::string& source, const std::string& dest) {
  std::unique_ptr<TFileStream> in;
  if (auto refused = OpenSource(source, dest, in)) return *refused;
  TPartialFile out(dest);
  if (!out.Create()) return DestFailed(TWaveSaveStatus::wsCannotOpen, "cannot create the destination", out, dest);
  try {
    const int64_t size = in->GetSize();
    std::vector<uint8_t> buffer(1 << 16);
    int64_t copied = 0;
    for (int64_t n; (n = in->Read(buffer.data(), int64_t(buffer.size()))) > 0; copied += n)
      out.Stream().WriteBuffer(buffer.data(), n);
    if (copied != size) return Failed(TWaveSaveStatus::wsCannotOpen, "cannot read the whole source", source);
    if (!out.Commit()) return DestFailed(TWaveSaveStatus::wsWriteError, "cannot complete the destination", out, dest);
  } catch (const EStreamError& e) {
    return DestFailed(TWaveSaveStatus::wsWriteError, e.Message(), out, dest);
  }
  return {};
}

}  // namespace codec
