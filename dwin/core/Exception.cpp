#include "dwin/core/Exception.h"

#include <utility>

namespace dwin::core {

Exception::Exception(std::string msg, std::exception_ptr next)
    : msg_(std::move(msg)), next_(std::move(next))
{
}

UtfException::UtfException(std::string msg, std::size_t offset)
    : Exception(std::move(msg)), offset_(offset)
{
}

} // namespace dwin::core
