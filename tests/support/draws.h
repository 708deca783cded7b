#pragma once
// Shared by the password window tests: scripted draws 0, 1, 2, ..., so the passwords are
// "012345", "6789AB", ... from the long alphabet and "234567", ... from the short one.

#include <cstdint>
#include <memory>

namespace testkit {

struct CountingSource {
    std::shared_ptr<std::uint32_t> next = std::make_shared<std::uint32_t>(0);
    std::uint32_t operator()(std::uint32_t bound) const { return (*next)++ % bound; }
};

} // namespace testkit
