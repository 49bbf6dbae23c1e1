/*
===============================================================================

	Host view of the graphics processor library.

	Everything a test needs to see what was drawn and to steer the GPU:

	  - the state model (GXHostState): the registers every call sets;
	  - the recorder: each call appends a typed record with its arguments
	    (floats as their bit patterns) to the current frame and counts it;
	    a frame ends with each display copy; the log keeps the last N frames;
	  - draw records: the bytes written between GXBegin and GXEnd (or found
	    in a called display list) decoded through the vertex descriptor,
	    the attribute formats and the arrays, with the state in force;
	  - faults: misuse the console would not report (a vertex count that
	    differs from the one announced, a display list that overflows or
	    receives a state call, a sleep with interrupts disabled);
	  - the GPU: commands written to the FIFO run as host events, a given
	    number per pump; tests stall and resume it;
	  - the embedded frame buffer (640 x 528 ARGB) and which display copy
	    each external frame buffer holds.

===============================================================================
*/
#ifndef GX_HOST_H
#define GX_HOST_H

#include "platform/gx/GX.h"

#include <cstdlib>
#include <deque>
#include <new>
#include <vector>

// The log's containers take their memory from the C library: a program
// may route the global operator new to the engine's heaps, which must
// never hold the host's bookkeeping.
template <typename T>
struct GXHostAllocator {
	typedef T value_type;
	GXHostAllocator() = default;
	template <typename U>
	GXHostAllocator( const GXHostAllocator<U>& ) {}
	T* allocate( const size_t n ) {
		void* const p = std::malloc( n * sizeof( T ) );
		if ( p == nullptr ) {
			throw std::bad_alloc();
		}
		return static_cast<T*>( p );
	}
	void deallocate( T* p, size_t ) { std::free( p ); }
	template <typename U>
	bool operator==( const GXHostAllocator<U>& ) const { return true; }
};

template <typename T>
using GXHostVector = std::vector<T, GXHostAllocator<T>>;
template <typename T>
using GXHostDeque = std::deque<T, GXHostAllocator<T>>;

// Every recorded call.
enum GXHostCall : u32 {
	GXHOST_INIT, GXHOST_INIT_FIFO_BASE, GXHOST_SET_CPU_FIFO, GXHOST_SET_GP_FIFO, GXHOST_SET_CURRENT_THREAD,
	GXHOST_FLUSH, GXHOST_RESET_WRITE_GATHER_PIPE, GXHOST_DRAW_DONE, GXHOST_PIX_MODE_SYNC, GXHOST_SET_DRAW_SYNC,
	GXHOST_ENABLE_BREAK_PT, GXHOST_DISABLE_BREAK_PT, GXHOST_SET_BREAK_PT_CALLBACK,
	GXHOST_CLEAR_VTX_DESC, GXHOST_SET_VTX_DESC, GXHOST_SET_VTX_ATTR_FMT, GXHOST_SET_ARRAY, GXHOST_INVALIDATE_VTX_CACHE,
	GXHOST_BEGIN, GXHOST_END, GXHOST_BEGIN_DISPLAY_LIST, GXHOST_END_DISPLAY_LIST, GXHOST_CALL_DISPLAY_LIST,
	GXHOST_LOAD_POS_MTX, GXHOST_LOAD_NRM_MTX, GXHOST_LOAD_TEX_MTX, GXHOST_SET_CURRENT_MTX, GXHOST_SET_PROJECTION,
	GXHOST_SET_VIEWPORT, GXHOST_SET_VIEWPORT_JITTER, GXHOST_SET_SCISSOR, GXHOST_SET_SCISSOR_BOX_OFFSET,
	GXHOST_SET_PIXEL_FMT, GXHOST_SET_Z_MODE, GXHOST_SET_Z_COMP_LOC, GXHOST_SET_BLEND_MODE, GXHOST_SET_COLOR_UPDATE,
	GXHOST_SET_ALPHA_UPDATE, GXHOST_SET_DST_ALPHA, GXHOST_SET_ALPHA_COMPARE, GXHOST_SET_CULL_MODE, GXHOST_SET_FOG,
	GXHOST_SET_LINE_WIDTH, GXHOST_SET_POINT_SIZE,
	GXHOST_SET_NUM_CHANS, GXHOST_SET_CHAN_CTRL, GXHOST_SET_CHAN_MAT_COLOR, GXHOST_SET_CHAN_AMB_COLOR,
	GXHOST_LOAD_LIGHT,
	GXHOST_SET_NUM_TEX_GENS, GXHOST_SET_TEX_COORD_GEN, GXHOST_SET_TEX_COORD_SCALE, GXHOST_SET_NUM_TEV_STAGES,
	GXHOST_SET_TEV_ORDER, GXHOST_SET_TEV_OP, GXHOST_SET_TEV_COLOR_IN, GXHOST_SET_TEV_ALPHA_IN, GXHOST_SET_TEV_COLOR_OP,
	GXHOST_SET_TEV_ALPHA_OP, GXHOST_SET_TEV_COLOR, GXHOST_SET_TEV_COLOR_S10, GXHOST_SET_TEV_K_COLOR,
	GXHOST_SET_TEV_K_COLOR_SEL, GXHOST_SET_TEV_K_ALPHA_SEL, GXHOST_SET_TEV_SWAP_MODE, GXHOST_SET_TEV_SWAP_MODE_TABLE,
	GXHOST_LOAD_TEX_OBJ, GXHOST_LOAD_TEX_OBJ_PRELOADED, GXHOST_LOAD_TLUT, GXHOST_INVALIDATE_TEX_ALL,
	GXHOST_SET_DISP_COPY_SRC, GXHOST_SET_DISP_COPY_DST, GXHOST_SET_DISP_COPY_Y_SCALE, GXHOST_SET_DISP_COPY_GAMMA,
	GXHOST_SET_COPY_FILTER, GXHOST_SET_COPY_CLEAR, GXHOST_SET_COPY_CLAMP, GXHOST_SET_FIELD_MODE, GXHOST_COPY_DISP,
	GXHOST_SET_TEX_COPY_SRC, GXHOST_SET_TEX_COPY_DST, GXHOST_COPY_TEX,
	GXHOST_CALL_COUNT
};

// One recorded call: up to eight argument words, floats as bit patterns,
// pointers as their low 32 bits.
struct GXHostRecord {
	GXHostCall	call;
	u32			args[8];
};

struct GXHostChannel {
	GXBool	enable;
	u32		ambientSource;
	u32		materialSource;
	u32		lightMask;
	u32		diffuseFunction;
	u32		attenuationFunction;
};

struct GXHostTexGen {
	u32		type;
	u32		source;
	u32		matrix;
	GXBool	normalise;
	u32		postMatrix;
};

struct GXHostTevStage {
	u32		coord;
	u32		map;
	u32		colour;
	u32		op;				// GXSetTevOp mode, or 0xFF after explicit inputs
	u32		colourIn[4];
	u32		alphaIn[4];
	u32		colourOp[5];	// op, bias, scale, clamp, out register
	u32		alphaOp[5];
	u32		kColourSel;
	u32		kAlphaSel;
	u32		rasterSwap;
	u32		textureSwap;
};

// The registers the draw calls depend on.
struct GXHostRenderState {
	f32				posMtx[GX_PNMTX_SLOTS][3][4];	// slot i is GX_PNMTX0 + 3i
	f32				nrmMtx[GX_PNMTX_SLOTS][3][3];
	u32				currentMtx;
	f32				projection[7];
	f32				viewport[6];
	bool			viewportJittered;
	u32				viewportField;
	u32				scissor[4];
	s32				scissorBoxOffset[2];
	u32				pixelFormat;
	u32				zFormat;
	GXBool			zCompare;
	u32				zFunction;
	GXBool			zUpdate;
	GXBool			zCompareBeforeTexture;
	u32				blendType;
	u32				blendSource;
	u32				blendDestination;
	u32				blendLogicOp;
	GXBool			colourUpdate;
	GXBool			alphaUpdate;
	GXBool			dstAlphaEnable;
	u8				dstAlpha;
	u32				alphaCompare[5];		// comp0, ref0, op, comp1, ref1
	u32				cullMode;
	u32				fogType;
	f32				fogRange[4];			// start, end, near, far
	GXColor			fogColour;
	u32				numChans;
	GXHostChannel	channels[6];
	GXColor			materialColour[2];
	GXColor			ambientColour[2];
	GXLightObj		lights[GX_MAX_LIGHT];
	u32				lightsLoaded;			// bit i: slot i holds a light
	u32				numTexGens;
	GXHostTexGen	texGens[GX_MAX_TEXCOORD];
	u32				texCoordScale[GX_MAX_TEXCOORD][3];	// enable, s, t
	u32				numTevStages;
	GXHostTevStage	tev[GX_MAX_TEVSTAGE];
	GXColorS10		tevColour[GX_MAX_TEVREG];
	GXColor			tevKColour[GX_MAX_KCOLOR];
	u32				swapTable[GX_MAX_TEVSWAP][4];
	GXTexObj		textures[GX_MAX_TEXMAP];
	u32				texturesLoaded;			// bit i: map i holds a texture
	const void*		texturePreloadRegion[GX_MAX_TEXMAP];
	GXTlutObj		tluts[32];				// by palette name
	u32				lineWidth;
	u32				pointSize;
};

// Copy registers.
struct GXHostCopyState {
	u16		dispSource[4];
	u16		dispDestination[2];
	f32		yScale;
	u32		gamma;
	GXBool	antialias;
	u8		samplePattern[12][2];
	GXBool	verticalFilter;
	u8		verticalWeights[7];
	GXColor	clearColour;
	u32		clearZ;
	u32		clamp;
	GXBool	fieldMode;
	GXBool	halfAspectRatio;
	u16		texSource[4];
	u16		texDestination[2];
	u32		texFormat;
	GXBool	texMipmap;
};

struct GXHostVertex {
	u32		present;			// bit a: attribute a was sent
	u8		matrixIndex;
	f32		position[3];
	f32		normal[3];
	GXColor	colour[2];
	f32		texCoord[GX_MAX_TEXCOORD][2];
};

struct GXHostDraw {
	u32							primitive;
	u32							format;
	u16							announced;		// vertex count given to GXBegin
	bool						countFault;		// the data held another count
	bool						fromDisplayList;
	GXHostVector<GXHostVertex>	vertices;
	GXHostRenderState			state;
};

struct GXHostFrame {
	GXHostVector<GXHostRecord>	records;
	GXHostVector<GXHostDraw>	draws;
	u32							counts[GXHOST_CALL_COUNT];
};

enum GXHostFaultKind : u32 {
	GXHOST_FAULT_VERTEX_COUNT,		// vertices written differ from the count announced
	GXHOST_FAULT_LIST_OVERFLOW,		// a display list outgrew its buffer
	GXHOST_FAULT_LIST_STATE_CALL,	// a state call between begin and end of a display list
	GXHOST_FAULT_BAD_LIST,			// a called display list holds an unknown opcode or is cut
	GXHOST_FAULT_OUTSIDE_BEGIN,		// vertex data written outside GXBegin/GXEnd
};

struct GXHostFault {
	GXHostFaultKind	kind;
	u32				detail;
};

// Width and height of the embedded frame-buffer store.
constexpr u32 GXHOST_EFB_WIDTH	= 640;
constexpr u32 GXHOST_EFB_HEIGHT	= 528;

// FIFO bytes counted for a command that is not a draw.
constexpr u32 GXHOST_COMMAND_BYTES	= 8;

// Ticks between two GPU pumps.
constexpr s64 GXHOST_PUMP_TICKS	= 4050;

// Forgets everything: state, log, faults, GPU, FIFO, EFB.
void								GXHostReset();

// State.
const GXHostRenderState&			GXHostState();
const GXHostCopyState&				GXHostCopy();

// Log: the last N frames, the current one last. Clearing keeps an empty
// current frame.
void								GXHostSetFramesKept( u32 frames );
void								GXHostClearLog();
const GXHostDeque<GXHostFrame>&		GXHostFrames();
const GXHostFrame&					GXHostCurrentFrame();
// Calls of a kind in the current frame.
u32									GXHostCallCount( GXHostCall call );
const char*							GXHostCallName( GXHostCall call );

// Faults, oldest first.
const GXHostVector<GXHostFault>&	GXHostFaults();
void								GXHostClearFaults();
void								GXHostRaiseFault( GXHostFaultKind kind, u32 detail );

// The vertex indices of the triangles of a draw: strips and fans
// expanded, quads split; lines and points give none.
std::vector<u32>					GXHostTriangles( const GXHostDraw& draw );

// Cache invalidations since the reset.
u32									GXHostVtxCacheInvalidations();
u32									GXHostTexCacheInvalidations();

// The GPU: stall stops it after the command it is executing; resume
// restarts it now or at a virtual time; commands per pump bound how much
// it executes per event.
void								GXHostStall();
void								GXHostResume();
void								GXHostResumeAt( s64 tick );
void								GXHostSetCommandsPerPump( u32 commands );
bool								GXHostGpuStalled();
// True while the armed break point holds the GPU.
bool								GXHostGpuHalted();
bool								GXHostBreakPointArmed();
// Commands written but not yet executed (flushed or not).
u32									GXHostPendingCommands();
// Bumped each time the GPU executes a command.
u64									GXHostGpuProgress();

// Display copies: serials count from 1 in call order; the serial of the
// copy an external frame buffer holds (0: none yet).
u32									GXHostCopySerial( const void* xfb );
u32									GXHostCopiesExecuted();

// The texture environment as the GPU computes it, over the recorded
// state: 8-bit texture inputs, signed 10-bit registers, each stage
// d +/- ((255 - c) a + c b) / 255, then bias, scale and clamp (0..255, or
// -1024..1023 without clamp), constant selectors and swap tables. Takes
// the colour each texture map gives at the pixel and returns the result
// register clamped to 0..255.
GXColor								GXHostTevEvaluate( const GXHostRenderState& state, const GXColor mapColours[GX_MAX_TEXMAP] );
// Renders the newest quad of the log through its TEV stages into width x
// height RGB bytes, rows top first, black outside the quad. Each stage's
// map (intensity 8, tiled) is sampled bilinearly at the pixel centre's
// coordinates, clamped at the edges. False when the log holds no quad.
bool								GXHostRenderLastQuad( u32 width, u32 height, std::vector<u8>* rgb );

// Embedded frame buffer: tests fill rectangles with an ARGB colour.
void								GXHostFillEfb( u32 x, u32 y, u32 width, u32 height, u32 argb );

#endif
