<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Installed below a subfolder of the language folder: its text must show. -->
<TS version="2.1" language="xx">
<context>
    <name>QObject</name>
    <message>
        <source>Application had runned!</source>
        <translation>Already running (probe)</translation>
    </message>
</context>
</TS>
