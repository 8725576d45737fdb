// Inputs the fuzz targets found trouble with, kept in tests/data/fuzz. Each must end
// with its result code, quickly and without claiming large buffers.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "image/bmp_file.h"
#include "image/pcx_file.h"
#include "image/png_file.h"

namespace {

using Reader = ImageFileResult (*)(IndexedImage&, const std::string&, int, int, int);

struct Finding {
    const char* file;
    Reader read;
    ImageFileResult expected;
    const char* trouble;
};

// Failure messages name the file rather than dumping the record's bytes.
void PrintTo(const Finding& value, std::ostream* out)
{
    *out << value.file;
}

const Finding findings[] = {
    {"png/huge-itxt-length.png", ReadPng, ImageFileResult::NotAnImage,
     "a text chunk claiming 1.9 GB made libpng allocate and inflate it"},
};

class FuzzFinding : public testing::TestWithParam<Finding> {};

TEST_P(FuzzFinding, EndsCleanly)
{
    const Finding& finding = GetParam();
    IndexedImage image;
    const std::string path = std::string(QUILLFERN_TEST_DATA_DIR) + "/fuzz/" + finding.file;
    EXPECT_EQ(finding.read(image, path, 256, 512, 512), finding.expected) << finding.trouble;
}

INSTANTIATE_TEST_SUITE_P(Files, FuzzFinding, testing::ValuesIn(findings),
                         [](const testing::TestParamInfo<Finding>& info) {
                             std::string name = info.param.file;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             }
                             return name;
                         });

} // namespace
