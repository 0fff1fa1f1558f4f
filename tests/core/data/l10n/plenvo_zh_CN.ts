<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Simplified Chinese catalog of the lookup test's secondary bundle. It has no text for
     "test.bundleFormat %lld %@", which the English one has. -->
<TS version="2.1" language="zh_CN">
<context>
    <name></name>
    <message id="app.name">
        <source>Name from the bundle</source>
        <translation>资源包里的名称</translation>
    </message>
    <message id="test.bundleOnly">
        <source>Text from the bundle</source>
        <translation>资源包里的文字</translation>
    </message>
</context>
</TS>
