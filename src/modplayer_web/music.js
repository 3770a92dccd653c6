// Page side of the web sound layer. The page prepares the music before the viewer starts the
// show: the module file is fetched and opened by libopenmpt on the audio thread (an
// AudioWorklet), so that the sound calls can answer at once when the show starts.
var ZarvelinMusic = (function () {
    'use strict'
    const kRate = 44100 // the rate the show asks for
    let context = null
    let node = null
    let nextId = 1
    const files = new Map() // name -> { code, data, id, ok, seconds }
    const waiting = new Map() // id -> resolve of the load reply
    let started = null // { frame, rate } once the module's first sample is rendered

    function reply(e) {
        const msg = e.data
        if (msg.cmd === 'loaded' && waiting.has(msg.id)) {
            waiting.get(msg.id)(msg)
            waiting.delete(msg.id)
        } else if (msg.cmd === 'started') {
            started = { frame: msg.frame, rate: msg.rate }
        }
    }

    // Error codes as the native player gives them: 9 nothing there, 10 not a module,
    // 11 cannot be read or opened.
    async function fetchModule(name) {
        try {
            const response = await fetch(name)
            if (!response.ok) return { code: response.status === 404 ? 9 : 11 }
            return { code: 0, data: new Uint8Array(await response.arrayBuffer()) }
        } catch (e) {
            return { code: 11 }
        }
    }

    async function openOutput() {
        if (typeof AudioContext === 'undefined' || typeof AudioWorkletNode === 'undefined') return
        try {
            const ctx = new AudioContext({ sampleRate: kRate, latencyHint: 'interactive' })
            await ctx.audioWorklet.addModule('music.worklet.js')
            node = new AudioWorkletNode(ctx, 'zarvelin-music', { numberOfInputs: 0, outputChannelCount: [2] })
            node.port.onmessage = reply
            node.connect(ctx.destination)
            context = ctx
        } catch (e) {
            console.error(e)
            node = null
        }
    }

    // Fetches and opens `name` on the audio thread; resolves when both are done, whatever
    // their outcome (the sound calls report it).
    async function prepare(name) {
        const [file] = await Promise.all([fetchModule(name), openOutput()])
        files.set(name, file)
        if (file.code !== 0 || !node || file.data.length === 0) return
        const id = nextId++
        const copy = file.data.slice().buffer
        const msg = await new Promise((resolve) => {
            waiting.set(id, resolve)
            node.port.postMessage({ cmd: 'load', id, data: copy }, [copy])
        })
        file.id = id
        file.probe = msg.probe
        file.ok = msg.ok
        file.seconds = msg.seconds
        console.log('libopenmpt ' + msg.version)
    }

    return {
        prepare,
        get context() { return context },
        get node() { return node },
        file: (name) => files.get(name),
        // Output usable: the context can be resumed (a gesture has been made).
        init() {
            if (!context) return false
            context.resume()
            return true
        },
        play(id) {
            started = null
            node.port.postMessage({ cmd: 'play', id })
        },
        free(id) {
            if (node) node.port.postMessage({ cmd: 'free', id })
        },
        close() {
            if (context) context.suspend()
        },
        // Seconds of the module heard now: the context time the output device presents at
        // this moment, less the time of the module's first sample; 0 before it sounds.
        position() {
            if (!context || !started) return 0
            const stamp = context.getOutputTimestamp()
            let heard = context.currentTime
            if (stamp.performanceTime > 0)
                heard = stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000
            return Math.max(0, heard - started.frame / started.rate)
        },
    }
})()
