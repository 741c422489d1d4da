#include <gtest/gtest.h>

#include "hist/channel_hist.h"
#include "tests/support/cv_assertion.h"

namespace {

// Every level 0..255 once, then `extra` more pixels of level 7.
cv::Mat everyLevelOnce(int extra) {
    cv::Mat channel(1, 256 + extra, CV_8UC1, cv::Scalar(7));
    for (int v = 0; v < 256; ++v) {
        channel.at<uchar>(0, v) = static_cast<uchar>(v);
    }
    return channel;
}

TEST(ChannelHist, IsAColumnOf256FloatCountsWithLevelVInBinV) {
    for (const int v : {0, 200, 255}) {
        const cv::Mat h = hist::calcChannelHist(cv::Mat(5, 7, CV_8UC1, cv::Scalar(v)));
        ASSERT_EQ(h.rows, 256);
        ASSERT_EQ(h.cols, 1);
        ASSERT_EQ(h.type(), CV_32FC1);
        for (int i = 0; i < 256; ++i) {
            EXPECT_EQ(h.at<float>(i), i == v ? 35.0f : 0.0f) << v << " bin " << i;
        }
    }
}

TEST(ChannelHist, CountsARegionViewOnly) {
    cv::Mat image(10, 10, CV_8UC1, cv::Scalar(1));
    image(cv::Rect(2, 3, 4, 5)).setTo(9);
    const cv::Mat h = hist::calcChannelHist(image(cv::Rect(2, 3, 4, 5)));
    EXPECT_EQ(h.at<float>(9), 20.0f);
    EXPECT_EQ(h.at<float>(1), 0.0f);
}

TEST(ChannelHist, RejectsEveryOtherImageTypeWithTheAssertion) {
    for (const int type : {CV_8UC3, CV_8UC2, CV_8UC4, CV_16UC1, CV_8SC1, CV_32FC1}) {
        const cv::Mat image(4, 4, type, cv::Scalar::all(0));
        expectAssertion([&] { hist::calcChannelHist(image); }, "channel.type() == CV_8UC1",
                        "hist::calcChannelHist");
    }
}

TEST(NormalizeTo01, AConstantChannelGivesOneInItsBinAndZeroElsewhere) {
    cv::Mat h = hist::calcChannelHist(cv::Mat(480, 640, CV_8UC1, cv::Scalar(100)));
    hist::normalizeTo01(h);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(h.at<float>(i), i == 100 ? 1.0f : 0.0f) << i;
    }
}

TEST(NormalizeTo01, TheSmallestBinBecomesZeroEvenWhenNotEmpty) {
    cv::Mat h = hist::calcChannelHist(everyLevelOnce(10));
    hist::normalizeTo01(h);
    EXPECT_EQ(h.at<float>(7), 1.0f);
    EXPECT_EQ(h.at<float>(0), 0.0f);
    EXPECT_EQ(h.at<float>(255), 0.0f);
}

TEST(NormalizeTo01, IntermediateBinsScaleBetweenMinimumAndMaximum) {
    cv::Mat h(256, 1, CV_32FC1, cv::Scalar(2.0f));
    h.at<float>(10) = 6.0f;
    h.at<float>(20) = 4.0f;
    hist::normalizeTo01(h);
    EXPECT_EQ(h.at<float>(20), 0.5f);
    EXPECT_EQ(h.at<float>(10), 1.0f);
    EXPECT_EQ(h.at<float>(30), 0.0f);
}

TEST(NormalizeTo01, AllBinsEqualBecomeZeroNotOne) {
    cv::Mat once = hist::calcChannelHist(everyLevelOnce(0).reshape(1, 16));
    ASSERT_EQ(once.at<float>(7), 1.0f);
    hist::normalizeTo01(once);
    EXPECT_EQ(cv::countNonZero(once), 0);

    cv::Mat empty(256, 1, CV_32FC1, cv::Scalar(0.0f));
    hist::normalizeTo01(empty);
    EXPECT_EQ(cv::countNonZero(empty), 0);
}

TEST(NormalizeTo01, RewritesItsOwnBufferSoSharingHeadersSeeTheResult) {
    for (const int extra : {10, 0}) {
        cv::Mat h = hist::calcChannelHist(everyLevelOnce(extra));
        const cv::Mat shared = h;
        const uchar* buffer = h.data;
        hist::normalizeTo01(h);
        EXPECT_EQ(h.data, buffer);
        EXPECT_EQ(h.type(), CV_32FC1);
        EXPECT_EQ(h.size(), cv::Size(1, 256));
        EXPECT_EQ(shared.at<float>(7), extra == 0 ? 0.0f : 1.0f);
    }
}

}  // namespace
