<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- English catalog of the secondary bundle that the lookup test finds beside its executable.
     It overrides two texts of the main tables (which must not show) and adds texts that only
     the bundle has. -->
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="app.name">
        <source>Name from the bundle</source>
        <translation>Name from the bundle</translation>
    </message>
    <message id="sidebar.overview">
        <source>Overview from the bundle</source>
        <translation>Overview from the bundle</translation>
    </message>
    <message id="test.bundleOnly">
        <source>Text from the bundle</source>
        <translation>Text from the bundle</translation>
    </message>
    <message id="test.bundleFormat %lld %@">
        <source>%2$@ holds %1$lld</source>
        <translation>%2$@ holds %1$lld</translation>
    </message>
</context>
</TS>
