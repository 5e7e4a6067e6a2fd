#include "output/ErrorMessage.h"
#include "output/ImageEncoders.h"
#include "QtPrinting.h"

#include <gtest/gtest.h>

using namespace quorrel::output;

namespace {

QUuid EncoderFor(const QString& extension)
{
    const auto encoders = ImageEncoders();
    return FindEncoderForExtension(extension, encoders.data(), encoders.size());
}

QUuid IdOf(int index) { return ImageEncoders()[static_cast<std::size_t>(index)].id; }

} // namespace

TEST(FileExtension, TakesTheLastDotOfTheLastComponent)
{
    EXPECT_EQ(FileExtension("x.PNG"), ".PNG");
    EXPECT_EQ(FileExtension("/home/u/my.tile.wpp"), ".wpp");
    EXPECT_EQ(FileExtension("/home/u/pictures.d/tile"), "");
    EXPECT_EQ(FileExtension("tile"), "");
    EXPECT_EQ(FileExtension("tile."), ".");
    EXPECT_EQ(FileExtension("*.JFIF"), ".JFIF");
    EXPECT_EQ(FileExtension(""), "");
}

TEST(ImageEncoders, ListFiveFormatsWithTheirPatterns)
{
    const auto encoders = ImageEncoders();
    ASSERT_EQ(encoders.size(), 5u);
    EXPECT_EQ(encoders[0].patterns, "*.BMP;*.DIB;*.RLE");
    EXPECT_EQ(encoders[1].patterns, "*.JPG;*.JPEG;*.JPE;*.JFIF");
    EXPECT_EQ(encoders[2].patterns, "*.GIF");
    EXPECT_EQ(encoders[3].patterns, "*.TIF;*.TIFF");
    EXPECT_EQ(encoders[4].patterns, "*.PNG");
    for (std::size_t i = 0; i < encoders.size(); ++i) {
        EXPECT_FALSE(encoders[i].id.isNull());
        EXPECT_NE(encoders[i].encode, nullptr);
        EXPECT_EQ(EncoderById(encoders[i].id), &encoders[i]);
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_NE(encoders[i].id, encoders[j].id);
    }
}

TEST(FindEncoderForExtension, EveryListedExtensionReachesItsEncoderIgnoringCase)
{
    EXPECT_EQ(EncoderFor(".bmp"), IdOf(0));
    EXPECT_EQ(EncoderFor(".dib"), IdOf(0));
    EXPECT_EQ(EncoderFor(".Rle"), IdOf(0));
    EXPECT_EQ(EncoderFor(".jpg"), IdOf(1));
    EXPECT_EQ(EncoderFor(".jpeg"), IdOf(1));
    EXPECT_EQ(EncoderFor(".jpe"), IdOf(1));
    EXPECT_EQ(EncoderFor(".jfif"), IdOf(1));
    EXPECT_EQ(EncoderFor(".gif"), IdOf(2));
    EXPECT_EQ(EncoderFor(".tif"), IdOf(3));
    EXPECT_EQ(EncoderFor(".tiff"), IdOf(3));
    EXPECT_EQ(EncoderFor(".TiFf"), IdOf(3));
    EXPECT_EQ(EncoderFor(".PNG"), IdOf(4));
    EXPECT_EQ(EncoderFor(FileExtension("x.PNG")), IdOf(4));
}

TEST(FindEncoderForExtension, UnknownOrMissingExtensionGivesTheNullIdentifier)
{
    EXPECT_TRUE(EncoderFor(".wpp").isNull());
    EXPECT_TRUE(EncoderFor("").isNull());
    EXPECT_TRUE(EncoderFor(".").isNull());
    EXPECT_TRUE(EncoderFor("png").isNull());     // the dot is part of the extension
    EXPECT_TRUE(EncoderFor(".png ").isNull());
    EXPECT_TRUE(EncoderFor(".tif.png.x").isNull());
}

TEST(FindEncoderForExtension, FirstMatchWinsAndEmptyPiecesAreSkipped)
{
    const CImageEncoder list[] = {
        {QUuid::createUuid(), ";;*.A;", nullptr},
        {QUuid::createUuid(), "*.B;*.a", nullptr},
        {QUuid::createUuid(), "*.C;;*.b", nullptr},
    };
    EXPECT_EQ(FindEncoderForExtension(".a", list, 3), list[0].id);
    EXPECT_EQ(FindEncoderForExtension(".b", list, 3), list[1].id);
    EXPECT_EQ(FindEncoderForExtension(".C", list, 3), list[2].id);
    EXPECT_TRUE(FindEncoderForExtension("", list, 3).isNull());
    EXPECT_TRUE(FindEncoderForExtension(".a", list, 0).isNull());
}

TEST(ErrorMessageText, SystemTextWithoutItsLineEnd)
{
    EXPECT_EQ(ErrorMessageText(0x80004005u), "Unspecified error");
    EXPECT_EQ(ErrorMessageText(0), "The operation completed successfully.");
}

TEST(ErrorMessageText, CodesWithoutSystemText)
{
    EXPECT_EQ(ErrorMessageText(0x80040201u), "IDispatch error #1");
    EXPECT_EQ(ErrorMessageText(0x8004FFFFu), "IDispatch error #65023");
    EXPECT_EQ(ErrorMessageText(0x80040200u), "Unknown error 0x80040200");
    EXPECT_EQ(ErrorMessageText(0x80050000u), "Unknown error 0x80050000");
    EXPECT_EQ(ErrorMessageText(0x00abcdefu), "Unknown error 0xABCDEF");
}

TEST(SaveImageFailedText, GenericFailure)
{
    EXPECT_EQ(SaveImageFailedText(kStatusUnspecifiedFailure), "Save image failed:\n80004005 - Unspecified error");
    EXPECT_EQ(SaveImageFailedText(0x80040202u), "Save image failed:\n80040202 - IDispatch error #2");
}
