<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Qt's own texts that the open dialog shows and that the Chinese translation of Qt
     shipped with Debian 12 lacks. Qt's translation is asked first; these fill its gaps. -->
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>文件夹</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>驱动器</translation>
    </message>
</context>
</TS>
