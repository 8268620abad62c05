#include "player/playback/MovieMediaInfo.h"

#include <QGuiApplication>
#include <QScreen>

#include "platform/ui/ColorRef.h"

MovieMediaInfo::MovieMediaInfo(CKalvorMovie& movie, PlayerSettings& settings)
    : movie_(movie), settings_(settings), box_(std::make_unique<CMediaProperties>(this, &movie)) {}

MovieMediaInfo::~MovieMediaInfo() = default;

void MovieMediaInfo::MediaOpened() {
    if (box_->isVisible()) box_->ListFilterPages();
}

MediaInfoFacts MovieMediaInfo::Facts() const {
    MediaInfoFacts facts;
    facts.hasVideo = movie_.hasVideo == 1;
    facts.duration = movie_.duration;
    facts.frameRate = movie_.frameRate;
    facts.width = movie_.videoWidth;
    facts.height = movie_.videoHeight;
    facts.fourCC = movie_.videoFourCC;
    facts.bitCount = movie_.videoBitCount;
    facts.sampleRate = movie_.audioSampleRate;
    facts.channels = movie_.audioChannels;
    facts.bitRate = movie_.audioBitRate;
    return facts;
}

GstElement* MovieMediaInfo::Graph() const { return movie_.Graph(); }

QRect MovieMediaInfo::VideoWindowRect() const { return movie_.frameGeometry(); }

QRect MovieMediaInfo::MainWindowRect() const { return colorref::ToQRect(settings_.mainRect); }

QRect MovieMediaInfo::DesktopRect() const {
    const QScreen* screen = movie_.screen() ? movie_.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

void MovieMediaInfo::AfterToolHidden() { movie_.AfterToolHidden(); }
