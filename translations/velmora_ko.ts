<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko">
<context>
    <name>CMainDlg</name>
    <message>
        <source>Load Texture</source>
        <translation>텍스처 불러오기</translation>
    </message>
</context>
</TS>
