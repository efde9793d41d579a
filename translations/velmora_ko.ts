<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko">
<context>
    <name>CMainDlg</name>
    <message>
        <source>&amp;File</source>
        <translation>파일(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>새로 만들기(&amp;N)</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>열기(&amp;O)...</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>최근 파일 열기(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>저장(&amp;S)</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>다른 이름으로 저장(&amp;A)...</translation>
    </message>
    <message>
        <source>&amp;Export Mesh...</source>
        <translation>메시 내보내기(&amp;E)...</translation>
    </message>
    <message>
        <source>Save &amp;Image...</source>
        <translation>이미지 저장(&amp;I)...</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>끝내기(&amp;Q)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>편집(&amp;E)</translation>
    </message>
    <message>
        <source>Profile: each point&apos;s distance from the vertical axis becomes a radius of the surface, its height a place along the path. Points stay right of the axis.</source>
        <translation>단면: 각 점의 세로축까지의 거리가 곡면의 반지름이 되고, 높이가 경로 위의 위치가 됩니다. 점은 축의 오른쪽에만 놓입니다.</translation>
    </message>
    <message>
        <source>Profile (left view), select mode: a click picks a point, a drag moves it</source>
        <translation>단면(왼쪽 뷰), 선택 모드: 클릭하면 점을 고르고, 끌면 옮깁니다</translation>
    </message>
    <message>
        <source>Profile (left view), add mode: a click adds a point after the selected one</source>
        <translation>단면(왼쪽 뷰), 추가 모드: 클릭하면 선택한 점 다음에 점을 추가합니다</translation>
    </message>
    <message>
        <source>Profile (left view): delete the selected point</source>
        <translation>단면(왼쪽 뷰): 선택한 점을 삭제합니다</translation>
    </message>
    <message>
        <source>The selected point of the profile (left view): its number and X, Y</source>
        <translation>단면(왼쪽 뷰)에서 선택한 점: 번호와 X, Y</translation>
    </message>
    <message>
        <source>Path: the curve the profile is swept along.</source>
        <translation>경로: 단면이 따라 쓸고 지나가는 곡선입니다.</translation>
    </message>
    <message>
        <source>Path (middle view): the degree that Reset uses, 1 to 100</source>
        <translation>경로(가운데 뷰): Reset이 쓰는 차수, 1에서 100까지</translation>
    </message>
    <message>
        <source>Path (middle view): make it a straight row of degree + 1 points</source>
        <translation>경로(가운데 뷰): 차수 + 1개의 점으로 된 직선으로 만듭니다</translation>
    </message>
    <message>
        <source>Path (middle view), select mode: a click picks a point, a drag moves it</source>
        <translation>경로(가운데 뷰), 선택 모드: 클릭하면 점을 고르고, 끌면 옮깁니다</translation>
    </message>
    <message>
        <source>Path (middle view), add mode: a click adds a point after the selected one</source>
        <translation>경로(가운데 뷰), 추가 모드: 클릭하면 선택한 점 다음에 점을 추가합니다</translation>
    </message>
    <message>
        <source>Path (middle view): delete the selected point</source>
        <translation>경로(가운데 뷰): 선택한 점을 삭제합니다</translation>
    </message>
    <message>
        <source>The swept surface: drag with the left button to turn it, drag left or right with the right button to zoom. Drop a picture here to wrap it around.</source>
        <translation>스윕 곡면: 왼쪽 버튼으로 끌면 돌리고, 오른쪽 버튼으로 좌우로 끌면 확대/축소합니다. 그림을 여기에 놓으면 곡면에 입힙니다.</translation>
    </message>
    <message>
        <source>Surface (right view): wrap a picture around it (BMP, PNG, JPEG and more)</source>
        <translation>곡면(오른쪽 뷰): 그림을 입힙니다 (BMP, PNG, JPEG 등)</translation>
    </message>
    <message>
        <source>Surface (right view): draw it filled</source>
        <translation>곡면(오른쪽 뷰): 면을 채워 그립니다</translation>
    </message>
    <message>
        <source>Surface (right view): draw its edges</source>
        <translation>곡면(오른쪽 뷰): 모서리를 그립니다</translation>
    </message>
    <message>
        <source>Surface (right view): draw its points</source>
        <translation>곡면(오른쪽 뷰): 점을 그립니다</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>초기화</translation>
    </message>
    <message>
        <source>%1[*] - %2</source>
        <translation>%1[*] - %2</translation>
    </message>
    <message>
        <source>A curve can hold at most %1 control points.</source>
        <translation>곡선 하나에는 조정점을 %1개까지만 둘 수 있습니다.</translation>
    </message>
</context>
<context>
    <name>DesignFiles</name>
    <message>
        <source>The design &quot;%1&quot; has unsaved changes.</source>
        <translation>디자인 &quot;%1&quot;에 저장하지 않은 변경 사항이 있습니다.</translation>
    </message>
    <message>
        <source>Do you want to save them?</source>
        <translation>저장하시겠습니까?</translation>
    </message>
    <message>
        <source>Velmora Designs (*.velmora)</source>
        <translation>Velmora 디자인 (*.velmora)</translation>
    </message>
    <message>
        <source>Open Design</source>
        <translation>디자인 열기</translation>
    </message>
    <message>
        <source>%1: the texture %2 is missing; the design is open without it.</source>
        <translation>%1: 텍스처 %2 파일이 없어 텍스처 없이 디자인을 열었습니다.</translation>
    </message>
    <message>
        <source>Save Design</source>
        <translation>디자인 저장</translation>
    </message>
    <message>
        <source>untitled.velmora</source>
        <translation>제목 없음.velmora</translation>
    </message>
    <message>
        <source>Export Mesh</source>
        <translation>메시 내보내기</translation>
    </message>
    <message>
        <source>glTF Binary (*.glb)</source>
        <translation>glTF 바이너리 (*.glb)</translation>
    </message>
    <message>
        <source>Wavefront OBJ (*.obj)</source>
        <translation>Wavefront OBJ (*.obj)</translation>
    </message>
    <message>
        <source>Binary STL (*.stl)</source>
        <translation>바이너리 STL (*.stl)</translation>
    </message>
    <message>
        <source>3D Manufacturing Format (*.3mf)</source>
        <translation>3D 제조 형식 (*.3mf)</translation>
    </message>
    <message>
        <source>Save Image</source>
        <translation>이미지 저장</translation>
    </message>
    <message>
        <source>PNG Images (*.png)</source>
        <translation>PNG 이미지 (*.png)</translation>
    </message>
    <message>
        <source>Load Texture</source>
        <translation>텍스처 불러오기</translation>
    </message>
    <message>
        <source>Images (%1)</source>
        <translation>이미지 (%1)</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>제목 없음</translation>
    </message>
    <message>
        <source>&amp;Clear Menu</source>
        <translation>메뉴 지우기(&amp;C)</translation>
    </message>
    <message>
        <source>Export Options</source>
        <translation>내보내기 옵션</translation>
    </message>
</context>
<context>
    <name>ExportOptionsDialog</name>
    <message>
        <source>Close the ends with &amp;caps</source>
        <translation>양 끝을 뚜껑으로 막기(&amp;C)</translation>
    </message>
    <message>
        <source>Export Options</source>
        <translation>내보내기 옵션</translation>
    </message>
    <message>
        <source>None</source>
        <translation>없음</translation>
    </message>
    <message>
        <source>Format&apos;s default</source>
        <translation>형식 기본값</translation>
    </message>
    <message>
        <source>&amp;Slices:</source>
        <translation>조각 수(&amp;S):</translation>
    </message>
    <message>
        <source>&amp;Intervals per span:</source>
        <translation>구간당 간격 수(&amp;I):</translation>
    </message>
    <message>
        <source>&amp;Wall thickness:</source>
        <translation>벽 두께(&amp;W):</translation>
    </message>
    <message>
        <source>Sc&amp;ale:</source>
        <translation>배율(&amp;A):</translation>
    </message>
    <message>
        <source>&amp;Units:</source>
        <translation>단위(&amp;U):</translation>
    </message>
    <message>
        <source>U&amp;p axis:</source>
        <translation>위쪽 축(&amp;P):</translation>
    </message>
</context>
<context>
    <name>PointCommands</name>
    <message>
        <source>&amp;Delete Point</source>
        <translation>점 삭제(&amp;D)</translation>
    </message>
    <message>
        <source>Point &amp;Coordinates...</source>
        <translation>점 좌표(&amp;C)...</translation>
    </message>
    <message>
        <source>Delete Point</source>
        <translation>점 삭제</translation>
    </message>
    <message>
        <source>Profile (left view), point P%1</source>
        <translation>단면(왼쪽 뷰), 점 P%1</translation>
    </message>
    <message>
        <source>Path (middle view), point P%1</source>
        <translation>경로(가운데 뷰), 점 P%1</translation>
    </message>
    <message>
        <source>Point Coordinates</source>
        <translation>점 좌표</translation>
    </message>
</context>
<context>
    <name>PointCoordinatesDialog</name>
    <message>
        <source>Point Coordinates</source>
        <translation>점 좌표</translation>
    </message>
    <message>
        <source>&amp;X:</source>
        <translation>&amp;X:</translation>
    </message>
    <message>
        <source>&amp;Y:</source>
        <translation>&amp;Y:</translation>
    </message>
    <message>
        <source>Enter a number from %1 to %2.</source>
        <translation>%1에서 %2 사이의 숫자를 입력하십시오.</translation>
    </message>
</context>
<context>
    <name>StatusBar</name>
    <message>
        <source>Profile</source>
        <translation>단면</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>경로</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>추가</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>선택</translation>
    </message>
    <message>
        <source>1 point</source>
        <translation>점 1개</translation>
    </message>
    <message>
        <source>%1 points</source>
        <translation>점 %1개</translation>
    </message>
    <message>
        <source>%1: %2, %3</source>
        <translation>%1: %2, %3</translation>
    </message>
    <message>
        <source>Drag to turn the surface; drag with the right button to zoom</source>
        <translation>끌면 곡면을 돌리고, 오른쪽 단추로 끌면 확대/축소합니다</translation>
    </message>
    <message>
        <source>Click to add a point after the selected one</source>
        <translation>클릭하면 선택한 점 다음에 점을 추가합니다</translation>
    </message>
    <message>
        <source>Click to pick a point; drag to move it</source>
        <translation>클릭하면 점을 고르고, 끌면 옮깁니다</translation>
    </message>
    <message>
        <source>Snapping to whole units</source>
        <translation>정수 눈금에 맞춤</translation>
    </message>
    <message>
        <source>Snapping to tenths</source>
        <translation>0.1 눈금에 맞춤</translation>
    </message>
</context>
<context>
    <name>TextureMessages</name>
    <message>
        <source>%1: the file is empty or cannot be read</source>
        <translation>%1: 파일이 비어 있거나 읽을 수 없습니다</translation>
    </message>
    <message>
        <source>%1: not a picture Qt can read (%2)</source>
        <translation>%1: Qt가 읽을 수 있는 그림이 아닙니다 (%2)</translation>
    </message>
    <message>
        <source>%1: the picture is too large (at most %2 pixels a side and %3 pixels in all)</source>
        <translation>%1: 그림이 너무 큽니다 (한 변은 %2픽셀, 전체는 %3픽셀까지)</translation>
    </message>
    <message>
        <source>%1: the picture cannot be decoded (%2)</source>
        <translation>%1: 그림을 해독할 수 없습니다 (%2)</translation>
    </message>
    <message>
        <source>%1: %2 x %3 pixels is more than OpenGL takes here; the texture is scaled down to %4 x %5</source>
        <translation>%1: %2 x %3 픽셀은 이 OpenGL이 받을 수 있는 크기보다 큽니다. 텍스처를 %4 x %5 크기로 줄였습니다</translation>
    </message>
</context>
<context>
    <name>UndoRecorder</name>
    <message>
        <source>Load Texture</source>
        <translation>텍스처 불러오기</translation>
    </message>
    <message>
        <source>Render Mode</source>
        <translation>렌더링 방식</translation>
    </message>
    <message>
        <source>Add Point</source>
        <translation>점 추가</translation>
    </message>
    <message>
        <source>Move Point</source>
        <translation>점 이동</translation>
    </message>
    <message>
        <source>Degree</source>
        <translation>차수</translation>
    </message>
    <message>
        <source>Export Options</source>
        <translation>내보내기 옵션</translation>
    </message>
</context>
<context>
    <name>ViewMenu</name>
    <message>
        <source>&amp;View</source>
        <translation>보기(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Reset View</source>
        <translation>보기 초기화(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Frame Surface</source>
        <translation>화면에 맞추기(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Preview export</source>
        <translation>내보내기 미리 보기(&amp;P)</translation>
    </message>
</context>
</TS>
