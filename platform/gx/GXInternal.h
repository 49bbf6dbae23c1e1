/*
===============================================================================

	Shared state of the host graphics library's source files.

	One context holds the state model, the vertex path, the display-list
	builder, the log, the FIFO and the GPU. Record is the single way a call
	enters the log: it checks display-list misuse, counts the call, appends
	its record and puts its command in the FIFO.

===============================================================================
*/
#ifndef GX_INTERNAL_H
#define GX_INTERNAL_H

#include "platform/gx/GXHost.h"

#include <bit>
#include <initializer_list>

// What a FIFO command does when the GPU executes it.
enum GXCommandKind : u32 {
	GXCOMMAND_STATE,
	GXCOMMAND_DRAW,
	GXCOMMAND_DRAW_SYNC,
	GXCOMMAND_COPY_DISP,
	GXCOMMAND_COPY_TEX,
};

struct GXCommand {
	GXCommandKind	kind;
	u64				start;		// FIFO byte position where it begins
	u32				bytes;
	u32				value;		// token, or copy serial
	void*			target;		// copy destination
	bool			clear;
};

struct GXAttrFormat {
	u32		count;
	u32		type;
	u8		fractionBits;
};

struct GXArray {
	const u8*	base;
	u8			stride;
};

struct GXContext {
	GXHostRenderState		render;
	GXHostCopyState			copy;

	// Vertex path.
	u32						vtxDesc[GX_VA_MAX_ATTR];
	GXAttrFormat			attrFormat[GX_MAX_VTXFMT][GX_VA_MAX_ATTR];
	GXArray					arrays[GX_VA_MAX_ATTR];
	bool					inBegin;
	u32						beginPrimitive;
	u32						beginFormat;
	u16						beginCount;
	GXHostVector<u8>		primitiveBytes;		// opcode, count and vertex data of the open primitive

	// Display-list builder.
	bool					inList;
	u8*						listBuffer;
	u32						listCapacity;
	u32						listSize;
	bool					listOverflow;

	// Log.
	GXHostDeque<GXHostFrame>	frames;
	u32						framesKept = 4;
	GXHostVector<GXHostFault>	faults;
	u32						vtxInvalidations;
	u32						texInvalidations;

	// FIFO and GPU.
	GXFifoObj				defaultFifo;
	GXFifoObj*				cpuFifo;
	GXFifoObj*				gpFifo;
	GXHostDeque<GXCommand>	commands;			// written, not executed
	u64						submitted;			// FIFO position up to which the GPU may read
	u16						drawSyncRegister;
	bool					breakArmed;
	void*					breakAddress;
	bool					halted;
	bool					releasedAtRead;		// the halt at the current position was released
	GXBreakPtCallback		breakCallback;
	bool					stalled;
	u32						commandsPerPump = 1024;
	u32						pumpEvent;
	u32						resumeEvent;
	u64						progress;

	// Copies and frame buffers.
	u32						copySerialIssued;
	u32						copiesExecuted;
	GXHostVector<std::pair<const void*, u32>>	xfbSerials;
	GXHostVector<u32>		efb;
};

extern GXContext gx;

// Builds the argument words of a record.
inline u32 GXWord( const f32 value ) { return std::bit_cast<u32>( value ); }
inline u32 GXWord( const void* pointer ) { return static_cast<u32>( reinterpret_cast<uintptr_t>( pointer ) ); }

// Logs a call that sets state: faults inside a display list, counts it,
// records it and writes its command into the FIFO.
void	GXRecord( GXHostCall call, std::initializer_list<u32> args );
// Logs a call that only works on CPU-side objects or reads back.
void	GXRecordCpu( GXHostCall call, std::initializer_list<u32> args );
// Appends a draw record to the current frame.
void	GXLogDraw( GXHostDraw&& draw );
// Closes the current frame after a display copy.
void	GXHostEndFrameAfterCopy();

// Puts a command of the given size at the FIFO's write position (waiting
// while the ring has no room) and returns it.
GXCommand&	GXWriteCommand( GXCommandKind kind, u32 bytes );
// Schedules the GPU if it has flushed work and may run.
void	GXScheduleGpu();
// Resets the FIFO and GPU part of the context.
void	GXResetGpu();
// Resets the state model to the start-up values.
void	GXResetState();
// Decodes count vertices of a draw at data with the current descriptor;
// returns the bytes one vertex takes (0 when the descriptor is empty).
u32		GXVertexSize( u32 format );
void	GXDecodeVertices( GXHostDraw& draw, const u8* data, u32 count );

#endif
