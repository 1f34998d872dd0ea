#include "CapturedOutput.h"

#include <unistd.h>

namespace E2e {

CapturedOutput::CapturedOutput() : file_(std::tmpfile()) {}

CapturedOutput::~CapturedOutput() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

int CapturedOutput::fd() const {
    return file_ != nullptr ? fileno(file_) : -1;
}

std::string CapturedOutput::text() const {
    std::string all;
    if (file_ == nullptr) {
        return all;
    }
    char chunk[4096];
    off_t offset = 0;
    for (;;) {
        ssize_t n = pread(fileno(file_), chunk, sizeof chunk, offset);
        if (n <= 0) {
            return all;
        }
        all.append(chunk, static_cast<std::size_t>(n));
        offset += n;
    }
}

}  // namespace E2e
