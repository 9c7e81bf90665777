#!/bin/sh
# Regenerates the binary and placeholder files of the demo medium: the W32
# driver files, the USB driver folder, the USB interface library and the
# wizard's left picture. The INI files and texts are kept by hand.
#
#   media/make-binaries.sh [PATH-TO-MKPE]
#
# mkpe (tools/mkpe) writes small PE images with a version resource; without
# it in a build folder, give its path. The picture needs ImageMagick.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
demo="$here/demo"
mkpe=${1:-}
if [ -z "$mkpe" ]; then
    for candidate in "$here"/../build*/tools/mkpe/mkpe "$here"/../build/*/tools/mkpe/mkpe; do
        if [ -x "$candidate" ]; then mkpe=$candidate; break; fi
    done
fi
if [ -z "$mkpe" ] || [ ! -x "$mkpe" ]; then
    echo "make-binaries.sh: mkpe not found; build the target mkpe or pass its path" >&2
    exit 1
fi

w32="$demo/W32"
mkdir -p "$w32" "$demo/USBDrv" "$demo/DRVCONFIG"

# pe FILE VERSION PRODUCT [TRAILER]
pe() {
    if [ -n "${4:-}" ]; then
        "$mkpe" "$1" --version "$2" --product "$3" --trailer "$4"
    else
        "$mkpe" "$1" --version "$2" --product "$3"
    fi
}

# Port monitors: the simulated spooler takes their ports from these lines.
pe "$w32/KSCOMMON.DLL" 1.0.0.3 "Kestran COM Port Monitor" "SIM-PORTS=KSCOM1:,KSCOM2:,KSCOM3:,KSCOM4:,KSCOM5:,KSCOM6:,KSCOM7:,KSCOM8:"
pe "$w32/KSUSBMON.DLL" 1.0.0.5 "Kestran USB Port Monitor" 'SIM-PORTS-FROM-REGISTRY=SOFTWARE\KESTRAN\PORTNAME'
pe "$w32/KSCOMUI.DLL" 1.0.0.3 "Kestran COM Port Monitor UI"
pe "$w32/KSUSBUI.DLL" 1.0.0.5 "Kestran USB Port Monitor UI"
pe "$w32/KSLANGMN.DLL" 1.0.0.2 "Kestran Language Monitor"
pe "$w32/QPXPROC.DLL" 1.0.0.4 "QPX Print Processor"

# The printer drivers' modules.
for dll in QPXDRV.DLL QPXUI.DLL QPXRAST.DLL QPXRUI.DLL QPXRES.DLL QPXOEM.DLL QPXOEMUI.DLL; do
    pe "$w32/$dll" 2.1.0.0 "QPX Printer Driver"
done
# System libraries that some Windows versions lack, and the universal
# printer driver as a last resort when the system has no copy of its own.
for dll in srclient.dll framedyn.dll newdev.dll ICONLIB.DLL DMCOLOR.DLL UNIDRV.DLL UNIDRVUI.DLL UNIRES.DLL; do
    pe "$w32/$dll" 5.1.2600.0 "Printer driver support library"
done

# Data, help and font files: the programs copy them and never read them.
text() { printf '%s\r\n' "$2" > "$1"; }
for model in QT510 QN520 QR80 QK76 QTK60 QL40 QL58 QE30; do
    text "$w32/$model.DAT" "; $model standard driver data (demo placeholder)"
    text "$w32/$model.RDT" "; $model raster driver data (demo placeholder)"
done
for model in QT510 QK76 QL40; do
    text "$w32/$model.GPD" "*GPDFileVersion: \"1.0\"  *% $model (demo placeholder)"
done
text "$w32/STDNAMES.GPD" "*% standard names (demo placeholder)"
text "$w32/TTFSUB.GPD" "*% TrueType substitution (demo placeholder)"
text "$w32/UNIDRV.HLP" "universal printer driver help (demo placeholder)"
text "$w32/QPXDRV.HLP" "QPX driver help (demo placeholder)"
text "$w32/QPXRAST.HLP" "QPX raster driver help (demo placeholder)"
text "$w32/QPX98.HLP" "QPX Windows 98 driver help (demo placeholder)"
text "$w32/QPX98.DRV" "QPX Windows 98 printer driver (demo placeholder)"
text "$w32/QPXOEM.INI" "[OEMFiles]"
text "$w32/QPXFONT.TTF" "QPX control font (demo placeholder)"
text "$w32/QPXUSBID.DAT" "QPX USB identity table (demo placeholder)"

# Help files, opened through the shell.
for help in Drivanto_EN Drivanto_CN Uninstall_EN Uninstall_CN; do
    text "$demo/$help.CHM" "$help help (demo placeholder)"
done

# The USB bulk driver with its version, its INF file and its installer (the
# simulated machine emulates the installer).
pe "$demo/USBDrv/bulkusb.sys" 1.0.0.6 "Kestran USB Bulk Driver"
pe "$demo/USBDrv/Install.exe" 1.0.0.6 "Kestran USB Driver Setup"
text "$demo/USBDrv/BULKUSB.INF" "; Kestran USB bulk driver (demo placeholder)"
# The maker's USB interface library, loaded by name from the medium's root.
pe "$demo/KsUsbInt.dll" 1.2.0.0 "Kestran USB Interface"

# The wizard's left picture: a real Windows bitmap.
if command -v convert >/dev/null 2>&1; then
    convert -size 120x300 gradient:'#12395f'-'#a8cbe8' \
        -fill '#f3f7fb' -draw 'rectangle 20,200 100,260' \
        -fill '#12395f' -draw 'rectangle 30,210 90,222' -draw 'rectangle 30,230 70,238' \
        -type Palette -colors 64 -compress None BMP3:"$demo/DRVCONFIG/Left.bmp"
else
    echo "make-binaries.sh: ImageMagick's convert not found; Left.bmp left as it is" >&2
fi
echo "demo medium binaries written under $demo"
