#include "support/temp_dir.h"

#include <atomic>
#include <random>
#include <unistd.h>

TempDir::TempDir()
{
    static std::atomic<unsigned> counter{0};
    std::random_device entropy;
    const std::string name = "quillfern-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
                             std::to_string(entropy());
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
