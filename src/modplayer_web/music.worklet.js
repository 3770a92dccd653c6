// Audio thread of the web sound layer: libopenmpt renders the loaded module into the
// output, one render quantum at a time, with the native player's settings.
import createLibopenmpt from './libopenmpt.worklet.js' // built with BigInt for 64-bit arguments

const kStereoPercent = 40 // the native player's width for the hard-panned Amiga channels
const kRenderParamStereo = 2 // OPENMPT_MODULE_RENDER_STEREOSEPARATION_PERCENT
const kProbeFlags = 3 // OPENMPT_PROBE_FILE_HEADER_FLAGS_DEFAULT
const kMaxFrames = 128
const kWarmUpQuanta = 1400 // about 4 s of music

let lib = null
const ready = createLibopenmpt().then((m) => { lib = m })

// Calls use(p) with p a NUL-terminated copy of the ASCII text in the wasm heap.
function withString(text, use) {
    const p = lib._malloc(text.length + 1)
    for (let i = 0; i < text.length; i++) lib.HEAPU8[p + i] = text.charCodeAt(i)
    lib.HEAPU8[p + text.length] = 0
    const result = use(p)
    lib._free(p)
    return result
}

class MusicProcessor extends AudioWorkletProcessor {
    constructor() {
        super()
        this.modules = new Map() // id -> module pointer
        this.playing = 0
        this.startPending = false
        this.left = 0
        this.right = 0
        this.port.onmessage = (e) => ready.then(() => this.handle(e.data))
    }

    // Probes and opens a module: probe is libopenmpt's header verdict (1 a module, 0 not one,
    // -1 too short to tell, -255 an error); module is 0 when it could not be opened.
    load(id, buffer) {
        const data = new Uint8Array(buffer)
        const p = lib._malloc(Math.max(1, data.length))
        lib.HEAPU8.set(data, p)
        const probe = lib._openmpt_probe_file_header(BigInt(kProbeFlags), p, data.length, BigInt(data.length),
                                                     0, 0, 0, 0, 0, 0)
        let module = 0
        if (probe === 1) module = lib._openmpt_module_create_from_memory2(p, data.length, 0, 0, 0, 0, 0, 0, 0)
        if (module) this.warmUp(p, data.length)
        lib._free(p)
        let seconds = 0
        if (module) {
            lib._openmpt_module_set_repeat_count(module, -1) // the show may outlast the module
            lib._openmpt_module_set_render_param(module, kRenderParamStereo, kStereoPercent)
            withString('dither', (key) => lib._openmpt_module_ctl_set_integer(module, key, 0n))
            seconds = lib._openmpt_module_get_duration_seconds(module)
            this.modules.set(id, module)
        }
        const version = withString('library_version', (key) => lib.UTF8ToString(lib._openmpt_get_string(key)))
        this.port.postMessage({ cmd: 'loaded', id, probe, ok: module !== 0, seconds, version })
    }

    // Renders a few seconds of a second copy of the module and drops it. The first quanta of a
    // module compile the player's code (lazily, then optimised once hot) and fill its tables:
    // done here, while the output waits for the viewer's gesture, and not in the first second
    // of the music, where that work made the output underrun.
    warmUp(p, size) {
        const module = lib._openmpt_module_create_from_memory2(p, size, 0, 0, 0, 0, 0, 0, 0)
        if (!module) return
        const scratch = lib._malloc(8 * kMaxFrames)
        lib._openmpt_module_set_render_param(module, kRenderParamStereo, kStereoPercent)
        for (let i = 0; i < kWarmUpQuanta; i++)
            lib._openmpt_module_read_float_stereo(module, sampleRate, kMaxFrames, scratch, scratch + 4 * kMaxFrames)
        lib._openmpt_module_set_position_seconds(module, 1)
        lib._free(scratch)
        lib._openmpt_module_destroy(module)
    }

    // The module plays from `ms` on, its first sample at context frame `at` (silence until
    // then); the page learns where that lies should it be later.
    start(module, ms, at, seq) {
        if (ms > 0 || lib._openmpt_module_get_position_seconds(module) !== 0)
            lib._openmpt_module_set_position_seconds(module, ms / 1000)
        this.playing = module
        this.startAt = at
        this.startMs = ms
        this.startSeq = seq
        this.startPending = true
    }

    handle(msg) {
        if (msg.cmd === 'load') {
            this.load(msg.id, msg.data)
        } else if (msg.cmd === 'play') {
            const module = this.modules.get(msg.id)
            if (module) this.start(module, 0, msg.at, msg.seq)
        } else if (msg.cmd === 'seek') {
            if (this.playing) this.start(this.playing, msg.ms, msg.at, msg.seq)
        } else if (msg.cmd === 'free') {
            const module = this.modules.get(msg.id)
            if (!module) return
            if (this.playing === module) this.playing = 0
            lib._openmpt_module_destroy(module)
            this.modules.delete(msg.id)
        }
    }

    process(inputs, outputs) {
        if (!this.playing) return true
        const out = outputs[0]
        const frames = Math.min(out[0].length, kMaxFrames)
        if (!this.left) {
            this.left = lib._malloc(4 * kMaxFrames)
            this.right = lib._malloc(4 * kMaxFrames)
        }
        if (this.startPending) {
            // Silence until the frame asked for; the module's first sample then begins a
            // quantum, and the page hears where (its clock's origin) should that be later.
            if (currentFrame < this.startAt) return true
            this.startPending = false
            if (currentFrame !== this.startAt)
                this.port.postMessage({ cmd: 'started', frame: currentFrame, ms: this.startMs, seq: this.startSeq })
        }
        const done = lib._openmpt_module_read_float_stereo(this.playing, sampleRate, frames, this.left, this.right)
        out[0].set(lib.HEAPF32.subarray(this.left >> 2, (this.left >> 2) + done))
        if (out.length > 1) out[1].set(lib.HEAPF32.subarray(this.right >> 2, (this.right >> 2) + done))
        return true
    }
}

registerProcessor('zarvelin-music', MusicProcessor)
