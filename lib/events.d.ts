// brimo/events: SDK events as node:events emitters, typed by each kind's event map.
import { EventEmitter } from 'node:events';
import type * as brimo from '../index';
import type { ListenerEvents } from '../index';
import type { ListenerKindNames } from './api';
import type { ClassName, ClassNameOf } from './promises';

/** The listener kinds brimo/events registers (the drawing views are set up, not added). */
export type EmitterKind = ListenerKindNames[ClassName];

/** One listener registration as an EventEmitter: each SDK event under its own name, with its payload. */
export declare class ListenerEmitter<M extends Record<keyof M, any[]>> extends EventEmitter<M> {
  /** As listen(): prefer listen(), which types the emitter by its kind. */
  constructor(wrapper: InstanceType<(typeof brimo)[ClassName]>, kind: EmitterKind);
  readonly kind: EmitterKind;
  /** The id the wrapper's add method answered. */
  readonly id: number;
  readonly closed: boolean;
  /** Removes the registration; answers what the remove method answers, false when closed already. */
  close(): boolean;
}

/**
 * Registers one listener of `kind` with `wrapper` (the object that takes that kind)
 * and answers an emitter of its events. Throws when the SDK object to register with
 * is missing.
 */
export declare function listen<T extends InstanceType<(typeof brimo)[ClassName]>, K extends ListenerKindNames[ClassNameOf<T>]>(
  wrapper: T,
  kind: K,
): EmitterOf<K>;

/** The emitter of one listener kind. */
export type EmitterOf<K extends EmitterKind> = ListenerEvents[K] extends infer M
  ? M extends Record<keyof M, any[]>
    ? ListenerEmitter<M> & { readonly kind: K }
    : never
  : never;
