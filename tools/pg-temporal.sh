# Sourced by tools/quickstart and .ci/run: a throwaway PostgreSQL server on
# loopback for the test suite, named to it through TALOREN_TEST_PG.
#   pg_temporal_inicia   starts it and exports TALOREN_TEST_PG
#   pg_temporal_detiene  stops it and removes its files

pg_temporal_inicia() {
    # Set before anything can fail, so that the exit trap always finds them.
    PG_TEMPORAL_DIR=
    PG_TEMPORAL_RUN=
    PG_TEMPORAL_BIN=
    local bindir
    bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
    if [ -z "$bindir" ]; then
        echo "pg-temporal: PostgreSQL no está instalado (paquete postgresql)" >&2
        return 1
    fi
    PG_TEMPORAL_DIR=$(mktemp -d /tmp/taloren-pg.XXXXXX)
    PG_TEMPORAL_BIN=$bindir
    local run=()
    if [ "$(id -u)" = 0 ]; then
        chown postgres:postgres "$PG_TEMPORAL_DIR"
        run=(runuser -u postgres --)
    fi
    PG_TEMPORAL_RUN="${run[*]}"
    local port=${TALOREN_PG_PORT:-54329}
    while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do
        port=$((port + 1))
    done
    "${run[@]}" sh -c "echo x > '$PG_TEMPORAL_DIR/pw'"
    "${run[@]}" "$bindir/initdb" -D "$PG_TEMPORAL_DIR/data" -U postgres --pwfile="$PG_TEMPORAL_DIR/pw" \
        -A scram-sha-256 --auth-local=trust -E UTF8 --locale=C.UTF-8 >"$PG_TEMPORAL_DIR/initdb.log" 2>&1 || {
        cat "$PG_TEMPORAL_DIR/initdb.log" >&2
        return 1
    }
    # Durability is not what the tests measure: fsync off makes creating databases fast.
    "${run[@]}" "$bindir/pg_ctl" -D "$PG_TEMPORAL_DIR/data" -l "$PG_TEMPORAL_DIR/server.log" -w \
        -o "-p $port -k $PG_TEMPORAL_DIR -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off" \
        start >/dev/null || {
        cat "$PG_TEMPORAL_DIR/server.log" >&2
        return 1
    }
    export TALOREN_TEST_PG="host=127.0.0.1 port=$port user=postgres password=x"
    echo "pg-temporal: servidor PostgreSQL de prueba en 127.0.0.1:$port"
}

pg_temporal_detiene() {
    [ -n "${PG_TEMPORAL_DIR:-}" ] || return 0
    if [ -n "${PG_TEMPORAL_BIN:-}" ] && [ -f "$PG_TEMPORAL_DIR/data/postmaster.pid" ]; then
        ${PG_TEMPORAL_RUN:-} "$PG_TEMPORAL_BIN/pg_ctl" -D "$PG_TEMPORAL_DIR/data" -m immediate -w stop >/dev/null 2>&1
    fi
    rm -rf "$PG_TEMPORAL_DIR"
    PG_TEMPORAL_DIR=
}
