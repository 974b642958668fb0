<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Installed under a .txt name: start-up must not load it. -->
<TS version="2.1" language="xx">
<context>
    <name>QObject</name>
    <message>
        <source>Notice</source>
        <translation>Notice from a text file</translation>
    </message>
</context>
</TS>
