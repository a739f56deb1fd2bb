#include "art_set.h"

#include "chrome.h"
#include "icons.h"
#include "panels.h"

std::vector<ArtPicture> DrawAllArt()
{
    const QImage bannerRight = BannerRight();
    return {
        {QStringLiteral("banner_left.jpg"), ArtKind::Jpeg, BannerLeft()},
        {QStringLiteral("banner_middle.jpg"), ArtKind::Jpeg, BannerMiddle()},
        {QStringLiteral("banner_right.jpg"), ArtKind::Jpeg, bannerRight},
        {QStringLiteral("window_buttons.bmp"), ArtKind::Bitmap24, WindowButtons(bannerRight)},
        {QStringLiteral("bottom_left.jpg"), ArtKind::Jpeg, BottomLeft()},
        {QStringLiteral("bottom_middle.jpg"), ArtKind::Jpeg, BottomMiddle()},
        {QStringLiteral("bottom_right.jpg"), ArtKind::Jpeg, BottomRight()},
        {QStringLiteral("edge_left.jpg"), ArtKind::Jpeg, EdgeLeft()},
        {QStringLiteral("edge_divider.jpg"), ArtKind::Jpeg, EdgeDivider()},
        {QStringLiteral("edge_right.jpg"), ArtKind::Jpeg, EdgeRight()},
        {QStringLiteral("preview_placeholder.jpg"), ArtKind::Jpeg, PreviewPlaceholder()},
        {QStringLiteral("filler_under_preview.jpg"), ArtKind::Jpeg, FillerUnderPreview()},
        {QStringLiteral("heading_title.jpg"), ArtKind::Jpeg, HeadingTitle()},
        {QStringLiteral("background_title.jpg"), ArtKind::Jpeg, BackgroundTitle()},
        {QStringLiteral("heading_author.jpg"), ArtKind::Jpeg, HeadingAuthor()},
        {QStringLiteral("background_author.jpg"), ArtKind::Jpeg, BackgroundAuthor()},
        {QStringLiteral("background_fields.jpg"), ArtKind::Jpeg, BackgroundFields()},
        {QStringLiteral("separator.png"), ArtKind::Png, Separator()},
        {QStringLiteral("icon_hint.png"), ArtKind::Png, IconHint()},
        {QStringLiteral("icon_add.png"), ArtKind::Png, IconAdd()},
        {QStringLiteral("icon_remove.png"), ArtKind::Png, IconRemove()},
        {QStringLiteral("icon_remove_all.png"), ArtKind::Png, IconRemoveAll()},
        {QStringLiteral("icon_convert.png"), ArtKind::Png, IconConvert()},
        {QStringLiteral("icon_home.png"), ArtKind::Png, IconHome()},
        {QStringLiteral("icon_cover.png"), ArtKind::Png16, IconCover()},
        {QStringLiteral("icon_folder.png"), ArtKind::Png, IconFolder()},
        {QStringLiteral("app_icon_16.png"), ArtKind::Png, AppIcon(16)},
        {QStringLiteral("app_icon_32.png"), ArtKind::Png, AppIcon(32)},
        {QStringLiteral("app_icon_48.png"), ArtKind::Png, AppIcon(48)},
        // The larger sizes of the desktop's icon theme, for menus, launchers and file managers.
        {QStringLiteral("app_icon_64.png"), ArtKind::Png, AppIcon(64), false},
        {QStringLiteral("app_icon_128.png"), ArtKind::Png, AppIcon(128), false},
        {QStringLiteral("app_icon_256.png"), ArtKind::Png, AppIcon(256), false},
    };
}
