/*
===============================================================================

	Cluster dependency resolution of an unlocking pipeline.

	Runs on topologically sorted nodes whose sort records and packed outputs
	are in place, with the two-ended allocator set up over the super block:

	a. last node to first, each node's list of clusters it must receive:
	   clusters its outputs' destinations want and that it passes on
	   unchanged, then its own wants; a required cluster invalidated on the
	   way is an error, an optional one is eliminated downwards;
	b. first to last, the clusters each node forces present or makes, and
	   which outputs each cluster continues down;
	c. scopes: a cluster that continues from node to node shares a scope;
	d. one packet slot per scope, never shared by two clusters of a node;
	e. what stays: one record per cluster definition, the embedded packet,
	   each node's slot tables and private data, and the first node's
	   input requirements sorted by definition address.

	Errors: {1, 29} to {1, 32}, or 0x80000013 from the allocator.

===============================================================================
*/
#ifndef RX_DEPENDENCIES_H
#define RX_DEPENDENCIES_H

#include "graphics3d/core/RxPipelineTypes.h"

// Number of distinct non-null cluster definitions over all nodes' clusters
// of interest.
u32		PipelineCalcNumUniqueClusters( const RxPipeline* pipeline );

// Bytes the super block may need while unlocking, every allocation rounded
// as it is made; numUnique from PipelineCalcNumUniqueClusters.
u64		_rxUnlockBound( const RxPipeline* pipeline, u32 numUnique );

// 0 on success, else the error code recorded.
u32		_rxChaseDependencies( RxPipeline* pipeline, u32 numUnique );

#endif
