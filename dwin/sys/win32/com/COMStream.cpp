#include "dwin/sys/win32/com/COMStream.h"

#include <cstring>

namespace dwin::sys::win32::com {

using namespace winapi;

COMStream::COMStream(std::shared_ptr<dwin::io::Stream> stream) : stream_(std::move(stream))
{
    if (!stream_)
        throw dwin::core::IllegalArgumentException("stream");
}

HRESULT COMStream::Read(void* buffer, ULONG count, ULONG* read)
{
    const auto n = static_cast<ULONG>(stream_->readBlock(buffer, count));
    if (read != nullptr)
        *read = n;
    return S_OK;
}

HRESULT COMStream::Write(const void* buffer, ULONG count, ULONG* written)
{
    const auto n = static_cast<ULONG>(stream_->writeBlock(buffer, count));
    if (written != nullptr)
        *written = n;
    return S_OK;
}

HRESULT COMStream::Seek(LONGLONG move, DWORD origin, ULONGLONG* newPosition)
{
    dwin::io::SeekPos pos;
    switch (origin) {
    case STREAM_SEEK_SET: pos = dwin::io::SeekPos::Set; break;
    case STREAM_SEEK_CUR: pos = dwin::io::SeekPos::Current; break;
    case STREAM_SEEK_END: pos = dwin::io::SeekPos::End; break;
    default: throw dwin::core::IllegalArgumentException("origin");
    }
    const ULONGLONG at = stream_->seek(move, pos);
    if (newPosition != nullptr)
        *newPosition = at;
    return S_OK;
}

HRESULT COMStream::SetSize(ULONGLONG)
{
    return E_NOTIMPL;
}

HRESULT COMStream::CopyTo(IStream*, ULONGLONG, ULONGLONG* read, ULONGLONG* written)
{
    if (read != nullptr)
        *read = 0;
    if (written != nullptr)
        *written = 0;
    return E_NOTIMPL;
}

HRESULT COMStream::Commit(DWORD)
{
    return E_NOTIMPL;
}
HRESULT COMStream::Revert()
{
    return E_NOTIMPL;
}
HRESULT COMStream::LockRegion(ULONGLONG, ULONGLONG, DWORD)
{
    return E_NOTIMPL;
}
HRESULT COMStream::UnlockRegion(ULONGLONG, ULONGLONG, DWORD)
{
    return E_NOTIMPL;
}

HRESULT COMStream::Stat(STATSTG* stat, DWORD)
{
    if (stat == nullptr)
        return E_POINTER;
    std::memset(stat, 0, sizeof *stat);
    stat->type = STGTY_STREAM;
    stat->cbSize = stream_->size();
    return S_OK;
}

HRESULT COMStream::Clone(IStream** copy)
{
    if (copy != nullptr)
        *copy = nullptr;
    return E_NOTIMPL;
}

} // namespace dwin::sys::win32::com
