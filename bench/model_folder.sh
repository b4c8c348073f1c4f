# Sourced by the benchmarks: fills a folder with 10,000 models in every case
# of their extensions and 10,000 files the model list must leave out, some of
# them close to a model name.
make_model_folder() {
    (
        cd "$1" || exit 1
        model_ext=(dat DAT ldr Ldr mpd MPD)
        model_stem=(model Brick CASTLE wall_Part)
        other_ext=(pov txt PNG dat.bak ldr~ mpdx)
        for ((i = 0; i < 10000; i++)); do
            echo "${model_stem[i % 4]}_$i.${model_ext[i % 6]}"
            echo "${model_stem[i % 4]}_$i.${other_ext[i % 6]}"
        done | xargs touch
    )
}
