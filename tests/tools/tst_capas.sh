#!/usr/bin/env bash
# tests/tools/tst_capas.sh CAPAS: the layers' check refuses, each alone in a
# scratch tree that otherwise passes, an include from a higher layer at any
# depth and a link to a library of a layer that is not below.
set -uo pipefail
capas=$1
raiz=$(mktemp -d)
trap 'rm -rf "$raiz"' EXIT
fallas=0

arbolLimpio() {
    rm -rf "$raiz/arbol"
    mkdir -p "$raiz/arbol"/{src/outside/documentos,src/common,server/administracion}
    cd "$raiz/arbol" || exit 2
    echo '#include "outside/Base.h"' >src/outside/Base.cpp
    echo '#include "outside/Base.h"' >src/outside/documentos/Doc.cpp
    printf '#include "outside/documentos/Doc.h"\n#include "server/Esquema.h"\n' >src/common/Modulo.cpp
    echo '#include "server/Esquema.h"' >server/administracion/Semilla.cpp
    echo 'target_link_libraries(taloren_common PUBLIC taloren_datos taloren_documentos Qt6::Widgets)' \
        >src/common/CMakeLists.txt
    printf 'target_link_libraries(taloren_administracion\n  PUBLIC taloren_datos PRIVATE Qt6::Network)\n' \
        >server/administracion/CMakeLists.txt
}

# espera NOMBRE MENSAJE: capas fails on the scratch tree and says MENSAJE.
espera() {
    local salida
    if salida=$("$capas" "$raiz/arbol" 2>&1); then
        echo "FALLA: $1: capas no lo rechazó"
        fallas=1
    elif [[ $salida != *"$2"* ]]; then
        echo "FALLA: $1: capas dijo: $salida"
        fallas=1
    else
        echo "ok: $1"
    fi
}

arbolLimpio
if ! salida=$("$capas" "$raiz/arbol" 2>&1); then
    echo "FALLA: el árbol limpio no pasa: $salida"
    fallas=1
fi

arbolLimpio
echo '#include "outside/documentos/Doc.h"' >>src/outside/Base.cpp
espera "el núcleo incluye el procesador de textos" "incluye outside/documentos/Doc.h, de la capa documentos"

arbolLimpio
echo '#include "server/administracion/Semilla.h"' >>src/common/Modulo.cpp
espera "una ventana incluye la administración" "incluye server/administracion/Semilla.h, de la capa administracion"

arbolLimpio
printf 'target_link_libraries(taloren_common\n  PUBLIC taloren_datos\n  taloren_administracion)\n' \
    >src/common/CMakeLists.txt
espera "una biblioteca de ventanas enlaza la administración" "enlaza taloren_administracion, de la capa administracion"

arbolLimpio
echo 'target_link_libraries(taloren_administracion PUBLIC taloren_datos Qt6::Gui)' \
    >server/administracion/CMakeLists.txt
espera "la administración enlaza Qt Gui" "enlaza Qt6::Gui y la capa administracion no usa Gui"

exit $fallas
