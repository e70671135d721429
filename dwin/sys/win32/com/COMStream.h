#pragma once
// COMStream: any dwin::io::Stream shown to COM as an IStream. Made with a count of 1 for its
// creator; it keeps the wrapped stream alive (shared ownership) until it is destroyed.
// Errors of the wrapped stream (dwin::io::IOException) pass through its operations; Seek with
// an unknown origin throws dwin::core::IllegalArgumentException "origin".

#include <memory>

#include "dwin/io/Stream.h"
#include "dwin/sys/win32/com/Implements.h"

namespace dwin::sys::win32::com {

class COMStream final : public Implements<winapi::IStream> {
public:
    // Throws dwin::core::IllegalArgumentException "stream" for a missing stream.
    explicit COMStream(std::shared_ptr<dwin::io::Stream> stream);

    winapi::HRESULT Read(void* buffer, winapi::ULONG count, winapi::ULONG* read) override;
    winapi::HRESULT Write(const void* buffer, winapi::ULONG count, winapi::ULONG* written) override;
    winapi::HRESULT Seek(winapi::LONGLONG move, winapi::DWORD origin,
                         winapi::ULONGLONG* newPosition) override;
    winapi::HRESULT SetSize(winapi::ULONGLONG newSize) override;
    winapi::HRESULT CopyTo(winapi::IStream* target, winapi::ULONGLONG count,
                           winapi::ULONGLONG* read, winapi::ULONGLONG* written) override;
    winapi::HRESULT Commit(winapi::DWORD flags) override;
    winapi::HRESULT Revert() override;
    winapi::HRESULT LockRegion(winapi::ULONGLONG offset, winapi::ULONGLONG count,
                               winapi::DWORD lockType) override;
    winapi::HRESULT UnlockRegion(winapi::ULONGLONG offset, winapi::ULONGLONG count,
                                 winapi::DWORD lockType) override;
    winapi::HRESULT Stat(winapi::STATSTG* stat, winapi::DWORD flags) override;
    winapi::HRESULT Clone(winapi::IStream** copy) override;

    dwin::io::Stream& stream() { return *stream_; }

private:
    ~COMStream() override = default;
    std::shared_ptr<dwin::io::Stream> stream_;
};

} // namespace dwin::sys::win32::com
