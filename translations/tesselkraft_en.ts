<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Tesselkraft</name>
    <message>
        <source>无法写入文件夹“%1”：它是符号链接，小图不会写到它指向的地方</source>
        <translation>Cannot write into the folder “%1”: it is a symbolic link, and tiles are never written to where it points</translation>
    </message>
    <message>
        <source>无法创建文件夹“%1”：%2</source>
        <translation>Cannot create the folder “%1”: %2</translation>
    </message>
    <message>
        <source>用 --help 查看用法。</source>
        <translation>See --help for how to use it.</translation>
    </message>
    <message>
        <source>--out 需要一个目录</source>
        <translation>--out needs a folder</translation>
    </message>
    <message>
        <source>--out 的目录名不是系统编码下的有效文字: %1</source>
        <translation>--out: the folder name is not valid text in the system&apos;s encoding: %1</translation>
    </message>
    <message>
        <source>--format 只能是 jpg 或 png: %1</source>
        <translation>--format must be jpg or png: %1</translation>
    </message>
    <message>
        <source>--quality 需要 1 到 %1 之间的整数: %2</source>
        <translation>--quality needs a whole number from 1 to %1: %2</translation>
    </message>
    <message>
        <source>用法: tesselkraft-cut [选项] 图片...
把每张图片切成照片墙的小图 (默认 4x2 共 8 张, 与窗口程序生成的完全相同),
以 1.jpg、2.jpg … 命名, 保存在图片旁边。

选项:
  --out 目录        保存到该目录 (不存在时自动创建); 多张图片时每张一个子目录
  --size N          高清小图: 从原图取样, 每张 N×N 像素 (默认 146, 取自预览);
                    native: 原图清晰度, 不放大的最大尺寸
  --grid 列x行      其他照片墙, 如 3x3、3x1、2x2, 最多 10x10 (默认 4x2)
  --fit stretch|crop  stretch: 拉伸铺满 (默认); crop: 保持比例, 取居中的最大部分
  --crop X,Y,宽,高  只切图片的这一部分 (像素, 按图片的方向), 当作整张图片
  --format jpg|png  小图格式 (默认 jpg)
  --quality Q       JPEG 质量 1-100 (默认 95)
  --quiet           只报告错误
  --help            显示本说明

同一文件夹里的多张图片 (未给 --out 时) 各自保存到以图片命名的子目录。
输入图片本身永远不会被覆盖; 已有的同名小图会被替换。
退出码: 0 全部成功, 1 有图片失败, 2 用法错误。

示例:
  tesselkraft-cut cat.jpg                      # 与窗口程序相同的 8 张小图
  tesselkraft-cut --size 1080 cat.jpg          # 8 张 1080×1080 高清小图
  tesselkraft-cut --grid 3x3 --out wall *.jpg  # 九宫格, 每张图片一个子目录
  tesselkraft-cut --grid 3x3 --fit crop --size native photo.jpg  # 不变形的九宫格
</source>
        <translation>Usage: tesselkraft-cut [OPTION]... PICTURE...
Cuts each picture into the tiles of a photo wall (by default 4x2, eight tiles,
exactly the ones the window makes), named 1.jpg, 2.jpg … and saved beside it.

Options:
  --out FOLDER      save into FOLDER (made if missing); with several pictures,
                    a subfolder for each
  --size N          sharp tiles sampled from the picture itself, N×N pixels each
                    (default 146, from the preview); native: the picture&apos;s own
                    resolution, as large as it goes without enlarging
  --grid CxR        another wall, such as 3x3, 3x1 or 2x2, up to 10x10 (default 4x2)
  --fit stretch|crop  stretch: fill the wall (default); crop: keep the proportions,
                    taking the largest part from the middle
  --crop X,Y,W,H    cut only this part of the picture (pixels of the upright
                    picture), as if it were the whole picture
  --format jpg|png  tile format (default jpg)
  --quality Q       JPEG quality, 1-100 (default 95)
  --quiet           report errors only
  --help            show this help

Several pictures in one folder (without --out) each get a subfolder named after
the picture. The input pictures are never overwritten; tiles already there under
the same names are replaced.
Exit status: 0 all went well, 1 a picture failed, 2 usage error.

Examples:
  tesselkraft-cut cat.jpg                      # the same 8 tiles as the window
  tesselkraft-cut --size 1080 cat.jpg          # 8 sharp 1080×1080 tiles
  tesselkraft-cut --grid 3x3 --out wall *.jpg  # nine-grids, a subfolder for each
  tesselkraft-cut --grid 3x3 --fit crop --size native photo.jpg  # undistorted nine-grid
</translation>
    </message>
    <message>
        <source>未知选项: %1</source>
        <translation>unknown option: %1</translation>
    </message>
    <message>
        <source>%1 缺少参数</source>
        <translation>%1 needs a value</translation>
    </message>
    <message>
        <source>没有给出图片</source>
        <translation>no picture given</translation>
    </message>
    <message>
        <source>文件夹名不是系统编码下的有效文字，无法在其中保存小图：“%1”（可以用 --out 指定保存位置）</source>
        <translation>The folder&apos;s name is not valid text in the system&apos;s encoding, so no tiles can be saved in it: “%1” (--out can name another place)</translation>
    </message>
    <message>
        <source>小图“%1”会覆盖输入的图片, 未切割</source>
        <translation>Not cut: the tile “%1” would overwrite an input picture</translation>
    </message>
    <message>
        <source>无法保存文件“%1”：%2</source>
        <translation>Cannot save the file “%1”: %2</translation>
    </message>
    <message>
        <source>无法创建文件夹“%1”</source>
        <translation>Cannot create the folder “%1”</translation>
    </message>
    <message>
        <source>附带文件无法写出，本次启动不带皮肤和说明文档。
%1
%2</source>
        <translation>The companion files could not be written, so the program runs without its skin and documents this time.
%1
%2</translation>
    </message>
    <message>
        <source>文件不完整</source>
        <translation>the file is incomplete</translation>
    </message>
    <message>
        <source>图片数据损坏</source>
        <translation>the picture data is damaged</translation>
    </message>
    <message>
        <source>图片数据异常（扫描次数过多）</source>
        <translation>the picture data is abnormal (too many scans)</translation>
    </message>
    <message>
        <source>读取文件出错</source>
        <translation>error reading the file</translation>
    </message>
    <message>
        <source>图片太大，超出内存上限</source>
        <translation>the picture is too large for the memory limit</translation>
    </message>
    <message>
        <source>不是有效的 JPEG 图片（%1）</source>
        <translation>not a valid JPEG picture (%1)</translation>
    </message>
    <message>
        <source>不支持的 JPEG 颜色格式</source>
        <translation>unsupported JPEG colour format</translation>
    </message>
    <message>
        <source>约需 %1 MB 内存，超过 %2 MB 的上限</source>
        <translation>needs about %1 MB of memory, more than the %2 MB limit</translation>
    </message>
    <message>
        <source>JPEG 编码失败</source>
        <translation>JPEG encoding failed</translation>
    </message>
    <message>
        <source>无法打开文件</source>
        <translation>cannot open the file</translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>不是普通文件（管道、设备等），不能读取</source>
        <translation>not a regular file (a pipe, a device or the like), so it cannot be read</translation>
    </message>
    <message>
        <source>不是支持的图片格式</source>
        <translation>not a supported picture format</translation>
    </message>
    <message>
        <source>图片数据损坏或不完整</source>
        <translation>the picture data is damaged or incomplete</translation>
    </message>
    <message>
        <source>图片太大（%1×%2），解码</source>
        <translation>the picture is too large (%1×%2): decoding it </translation>
    </message>
    <message>
        <source>无法读取图片“%1”：%2</source>
        <translation>Cannot read the picture “%1”: %2</translation>
    </message>
    <message>
        <source>文件是空的</source>
        <translation>the file is empty</translation>
    </message>
    <message>
        <source>磁盘空间不足</source>
        <translation>the disk is full</translation>
    </message>
    <message>
        <source>超出磁盘配额</source>
        <translation>over the disk quota</translation>
    </message>
    <message>
        <source>没有权限</source>
        <translation>no permission</translation>
    </message>
    <message>
        <source>文件系统是只读的</source>
        <translation>the file system is read-only</translation>
    </message>
    <message>
        <source>文件名太长</source>
        <translation>the file name is too long</translation>
    </message>
    <message>
        <source>文件或文件夹不存在</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <source>路径中有一项不是文件夹</source>
        <translation>part of the path is not a folder</translation>
    </message>
    <message>
        <source>读写设备出错</source>
        <translation>the device failed to read or write</translation>
    </message>
    <message>
        <source>文件太大</source>
        <translation>the file is too large</translation>
    </message>
    <message>
        <source>打开的文件太多</source>
        <translation>too many open files</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>拖放的不是文件</source>
        <translation>what was dropped is not a file</translation>
    </message>
    <message>
        <source>请先载入图片</source>
        <translation>Please choose a picture first</translation>
    </message>
    <message>
        <source>通知:</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>警告：</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>无法读取 %1：%2</source>
        <translation>Cannot read %1: %2</translation>
    </message>
    <message>
        <source>内容超过 %1 MiB</source>
        <translation>the content is larger than %1 MiB</translation>
    </message>
    <message>
        <source>服务器回答 HTTP %1</source>
        <translation>the server answered HTTP %1</translation>
    </message>
    <message>
        <source>转到了不允许的地址 %1</source>
        <translation>redirected to an address that is not allowed: %1</translation>
    </message>
    <message>
        <source>没有收到 HTTP 回答</source>
        <translation>no HTTP answer came</translation>
    </message>
    <message>
        <source>上一次传输还没有结束</source>
        <translation>the previous transfer has not finished</translation>
    </message>
    <message>
        <source>只能读取 http 或 https 地址</source>
        <translation>only http and https addresses can be read</translation>
    </message>
    <message>
        <source>转向超过 %1 次</source>
        <translation>more than %1 redirects</translation>
    </message>
    <message>
        <source>%1 秒内没有完成</source>
        <translation>not finished within %1 seconds</translation>
    </message>
    <message>
        <source>传输控件已关闭</source>
        <translation>the transfer control is closed</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>未知错误</source>
        <translation>Unknown error</translation>
    </message>
    <message>
        <source>程序文件中缺少资源 %1</source>
        <translation>Resource %1 is missing from the program file</translation>
    </message>
    <message>
        <source>“%1”不是普通文件</source>
        <translation>“%1” is not a regular file</translation>
    </message>
    <message>
        <source>“%1”不是皮肤库</source>
        <translation>“%1” is not a skin library</translation>
    </message>
    <message>
        <source>Tesselkraft 需要图形显示，但 DISPLAY 和 WAYLAND_DISPLAY 都没有设置。
请在桌面环境中启动，或者用虚拟显示运行：
    xvfb-run -a %1
</source>
        <translation>Tesselkraft needs a graphical display, but neither DISPLAY nor WAYLAND_DISPLAY is set.
Start it from a desktop, or run it on a virtual display:
    xvfb-run -a %1
</translation>
    </message>
    <message>
        <source>裁剪区域 %1,%2,%3,%4 不在图片“%5”（%6×%7）之内</source>
        <translation>The crop region %1,%2,%3,%4 is not inside the picture “%5” (%6×%7)</translation>
    </message>
    <message>
        <source>图片“%1”太大：切成 %2 张 %3×%3 的小图</source>
        <translation>The picture “%1” is too large: cutting it into %2 tiles of %3×%3 </translation>
    </message>
    <message>
        <source>小图将被放大约 %1 倍，可能不清晰</source>
        <translation>The tiles will be enlarged about %1 times and may not look sharp</translation>
    </message>
    <message>
        <source>--grid 需要 列x行, 如 3x3 (1 到 %1): %2</source>
        <translation>--grid needs COLUMNSxROWS, such as 3x3 (1 to %1 each): %2</translation>
    </message>
    <message>
        <source>--fit 只能是 stretch (拉伸铺满) 或 crop (保持比例): %1</source>
        <translation>--fit must be stretch (fill the wall) or crop (keep the proportions): %1</translation>
    </message>
    <message>
        <source>--size 需要 1 到 %1 之间的整数, 或 native、preview: %2</source>
        <translation>--size needs a whole number from 1 to %1, or native or preview: %2</translation>
    </message>
    <message>
        <source>--crop 需要 X,Y,宽,高 (像素, 不为负, 宽和高至少为 1): %1</source>
        <translation>--crop needs X,Y,WIDTH,HEIGHT (pixels, none negative, width and height at least 1): %1</translation>
    </message>
    <message>
        <source>--crop 的区域太大: %1</source>
        <translation>--crop region too large: %1</translation>
    </message>
    <message>
        <source>正在检测版本信息...</source>
        <translation>Checking for updates...</translation>
    </message>
    <message>
        <source>暂无更新</source>
        <translation>No update available</translation>
    </message>
    <message>
        <source>网络连接失败！</source>
        <translation>Network connection failed!</translation>
    </message>
    <message>
        <source>发现新版本 Ver：%1 是否去官网下载最新版本？</source>
        <translation>A new version is out: Ver %1. Download it from the website?</translation>
    </message>
    <message>
        <source>更新提示：</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>无法读取 %1 图片：缺少解码库（%2）</source>
        <translation>cannot read %1 pictures: the decoding library is missing (%2)</translation>
    </message>
    <message>
        <source>不支持的 HEIF/AVIF 图片（%1）</source>
        <translation>an unsupported HEIF/AVIF picture (%1)</translation>
    </message>
    <message>
        <source>不支持的 TIFF 图片（%1）</source>
        <translation>an unsupported TIFF picture (%1)</translation>
    </message>
    <message>
        <source>不支持的 WebP 图片</source>
        <translation>an unsupported WebP picture</translation>
    </message>
    <message>
        <source>所有文件 (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>图片 (*.jpg *.jpeg *.jpe *.png *.gif *.bmp *.ico *.pbm *.pgm *.ppm *.xbm *.xpm *.heic *.heif *.hif *.avif *.webp *.tif *.tiff)</source>
        <translation>Pictures (*.jpg *.jpeg *.jpe *.png *.gif *.bmp *.ico *.pbm *.pgm *.ppm *.xbm *.xpm *.heic *.heif *.hif *.avif *.webp *.tif *.tiff)</translation>
    </message>
    <message>
        <source>内存不足，无法生成小图</source>
        <translation>not enough memory to make the tiles</translation>
    </message>
    <message>
        <source>第 %1 张小图无法编码：%2</source>
        <translation>tile %1 cannot be encoded: %2</translation>
    </message>
</context>
<context>
    <name>tk::Form1</name>
    <message>
        <source>检查更新</source>
        <translation>Updates</translation>
    </message>
    <message>
        <source>效果预览</source>
        <translation>Cut lines</translation>
    </message>
    <message>
        <source>生成图片</source>
        <translation>Make tiles</translation>
    </message>
    <message>
        <source>选择图片</source>
        <translation>Open picture</translation>
    </message>
    <message>
        <source>您可以直接把图片拖到这里.</source>
        <translation>You can also drop a picture right here.</translation>
    </message>
    <message>
        <source>生成高清图片（1080×1080）</source>
        <translation>Make sharp tiles (1080×1080)</translation>
    </message>
    <message>
        <source>右键（或菜单键）可选择照片墙、取景方式和小图尺寸</source>
        <translation>Right-click (or press the menu key) to choose the wall, the framing and the tile size</translation>
    </message>
    <message>
        <source>图片已经切割完毕,在原图片文件夹下以1-%1命名</source>
        <translation>The picture is cut: its tiles are in the picture&apos;s folder, named 1 to %1.</translation>
    </message>
    <message>
        <source>恭喜:</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>“%1”就是正在切割的原图片，生成的图片会覆盖它。是否继续？</source>
        <translation>“%1” is the picture being cut, and a tile would overwrite it. Go ahead?</translation>
    </message>
    <message>
        <source>覆盖提示：</source>
        <translation>Overwrite?</translation>
    </message>
    <message>
        <source>图片格式错误</source>
        <translation>This picture cannot be opened</translation>
    </message>
    <message>
        <source>文件夹名不是系统编码下的有效文字，无法在其中保存小图：“%1”</source>
        <translation>The folder&apos;s name is not valid text in the system&apos;s encoding, so no tiles can be saved in it: “%1”</translation>
    </message>
    <message>
        <source>4×2（默认）</source>
        <translation>4×2 (default)</translation>
    </message>
    <message>
        <source>3×3 九宫格</source>
        <translation>3×3 nine-grid</translation>
    </message>
    <message>
        <source>照片墙</source>
        <translation>Wall</translation>
    </message>
    <message>
        <source>列数（%1）</source>
        <translation>Columns (%1)</translation>
    </message>
    <message>
        <source>行数（%1）</source>
        <translation>Rows (%1)</translation>
    </message>
    <message>
        <source>取景</source>
        <translation>Framing</translation>
    </message>
    <message>
        <source>拉伸铺满</source>
        <translation>Stretch to fill</translation>
    </message>
    <message>
        <source>保持比例</source>
        <translation>Keep proportions</translation>
    </message>
    <message>
        <source>小图尺寸</source>
        <translation>Tile size</translation>
    </message>
    <message>
        <source>%1×%1（默认，取自预览）</source>
        <translation>%1×%1 (default, from the preview)</translation>
    </message>
    <message>
        <source>原图清晰度</source>
        <translation>The picture&apos;s own resolution</translation>
    </message>
    <message>
        <source>拖动取景框移动它，滚轮或 +、− 键缩放</source>
        <translation>Drag the frame to move it; the wheel or the + and − keys resize it</translation>
    </message>
    <message>
        <source>提示：</source>
        <translation>Note</translation>
    </message>
</context>
<context>
    <name>tk::Update</name>
    <message>
        <source>载入系统文件...</source>
        <translation>Loading...</translation>
    </message>
    <message>
        <source>版本页上没有版本号</source>
        <translation>the version page names no version</translation>
    </message>
</context>
</TS>
