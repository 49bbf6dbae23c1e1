/*
===============================================================================

	A particle emitter with its drawing. Plain types are drawn as rotated
	squares facing the camera, built in screen space 128 at a time; oriented
	types as textured quads in the world through immediate 3D, their
	vertices taken from the frame's work memory.

	BeginRender saves the seven render states the drawing changes and
	EndRender puts them back; every emitter's Render runs between them.

===============================================================================
*/
#ifndef PL_EMITTER_H
#define PL_EMITTER_H

#include "framework/graphics/particles/PLEmitter_BC.h"

struct RwV3d;

// Particles drawn by one screen-space call.
constexpr u32 PL_BATCH_SIZE		= 128;
// Pixels beyond the screen edges within which a particle is still drawn.
constexpr f32 PL_SCREEN_MARGIN	= 32.0f;

class PLEmitter : public PLEmitter_BC {
public:
	// Makes sure the sine and cosine table is built.
							PLEmitter();

	static void				BeginRender();
	static void				EndRender();
	void					Render();
	void					Render3dParticles();
	void					Render2dParticles();

	static u32				muiAlphaBlend;
	static u32				muiSrcBlend;
	static u32				muiDestBlend;
	static u32				muiZWrite;
	static u32				muiCullMode;
	static u32				muiUAddressing;
	static u32				muiVAddressing;
};

// Draws count screen-facing squares through the current camera; colours
// are r | g << 8 | b << 16 | a << 24, rotations in turns.
void RenderBatch( u32 count, RwV3d * positions, u32 * colours, f32 * sizes, f32 * rotations );

#endif
