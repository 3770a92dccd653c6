// Audio thread of the web sound layer: libopenmpt renders the loaded module into the
// output, one render quantum at a time, with the native player's settings.
import createLibopenmpt from './libopenmpt.worklet.js' // built with BigInt for 64-bit arguments

const kStereoPercent = 40 // the native player's width for the hard-panned Amiga channels
const kRenderParamStereo = 2 // OPENMPT_MODULE_RENDER_STEREOSEPARATION_PERCENT
const kProbeFlags = 3 // OPENMPT_PROBE_FILE_HEADER_FLAGS_DEFAULT
const kMaxFrames = 128

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

    handle(msg) {
        if (msg.cmd === 'load') {
            this.load(msg.id, msg.data)
        } else if (msg.cmd === 'play') {
            const module = this.modules.get(msg.id)
            if (!module) return
            lib._openmpt_module_set_position_seconds(module, 0)
            this.playing = module
            this.startAt = msg.at
            this.startPending = true
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
                this.port.postMessage({ cmd: 'started', frame: currentFrame, rate: sampleRate })
        }
        const done = lib._openmpt_module_read_float_stereo(this.playing, sampleRate, frames, this.left, this.right)
        out[0].set(lib.HEAPF32.subarray(this.left >> 2, (this.left >> 2) + done))
        if (out.length > 1) out[1].set(lib.HEAPF32.subarray(this.right >> 2, (this.right >> 2) + done))
        return true
    }
}

registerProcessor('zarvelin-music', MusicProcessor)
